#pragma once

#include <QString>

#include <stdexcept>

// A run-time failure of the desktop: a number and a description. Routines
// that may fail throw it; every handler catches it at its top and shows it
// through showFailure() (see DeskMessages.h). The numbers are listed in
// FailureNumbers.h.
class DeskFailure : public std::runtime_error {
  public:
    DeskFailure(int number, const QString &description)
        : std::runtime_error(description.toStdString()), number_(number),
          description_(description) {}

    int number() const { return number_; }
    const QString &description() const { return description_; }

  private:
    int number_;
    QString description_;
};
