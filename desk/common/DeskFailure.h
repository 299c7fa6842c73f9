#pragma once

#include "SystemError.h"

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

// The system's text for an errno value, for a failure's description.
inline QString systemReason(int error) {
    return QString::fromLocal8Bit(systemErrorText(error));
}
