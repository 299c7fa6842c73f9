#pragma once

#include "DeskObjects.h"
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

  private:
    DeskObjects objects_;
};
