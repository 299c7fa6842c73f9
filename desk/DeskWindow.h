#pragma once

#include "DeskLanguage.h"
#include "DeskObjects.h"
#include "clsUserSettings.h"
#include "frmMain.h"

// KavroDesk's main window as the program shows it: the window's controls
// (frmMain), then the objects it shares (DeskObjects), which are released
// again before the controls go. main() shows one; the tests and the
// benchmark start the desktop through it as well.
class DeskWindow final : public frmMain {
  public:
    DeskWindow() { objects_.create(*this); }
    ~DeskWindow() override { objects_.release(); }

    // The shared objects; also reachable as DeskObjects::current().
    DeskObjects &objects() { return objects_; }

    // Applies the language of the setting "Language", or the system's
    // (DeskLanguage::resolve), before any window is made; returns it.
    static QString applyLanguage(
        const QStringList &systemLanguages = DeskLanguage::systemLanguages()) {
        const QString language = DeskLanguage::resolve(
            clsUserSettings::readText(clsUserSettings::kKeyLanguage,
                                      clsUserSettings::kDefaultLanguage),
            systemLanguages);
        DeskLanguage::apply(language);
        return DeskLanguage::current();
    }

  private:
    DeskObjects objects_;
};
