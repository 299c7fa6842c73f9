#pragma once

#include "frmMain.h"

#include <QObject>

// Subscribes a controller to each life-cycle event of the main window for
// which it has a handler, named after the member and the event as every
// handler of the desktop is (m_frmMain_Load, m_frmMain_Resize,
// m_frmMain_Activate, m_frmMain_QueryUnload, m_frmMain_Unload). Qt calls the
// handlers of one event in the order of subscription, so controllers see
// each event in the order in which they were created; and it drops the
// subscriptions itself when the controller or the window goes.
template <class Controller>
void subscribeToWindow(frmMain *window, Controller *controller) {
    constexpr bool load = requires { &Controller::m_frmMain_Load; };
    constexpr bool resize = requires { &Controller::m_frmMain_Resize; };
    constexpr bool activate = requires { &Controller::m_frmMain_Activate; };
    constexpr bool queryUnload = requires {
        &Controller::m_frmMain_QueryUnload;
    };
    constexpr bool unload = requires { &Controller::m_frmMain_Unload; };
    static_assert(load || resize || activate || queryUnload || unload,
                  "no public handler of the window's events");
    if constexpr (load)
        QObject::connect(window, &frmMain::Load, controller,
                         &Controller::m_frmMain_Load);
    if constexpr (resize)
        QObject::connect(window, &frmMain::Resize, controller,
                         &Controller::m_frmMain_Resize);
    if constexpr (activate)
        QObject::connect(window, &frmMain::Activate, controller,
                         &Controller::m_frmMain_Activate);
    if constexpr (queryUnload)
        QObject::connect(window, &frmMain::QueryUnload, controller,
                         &Controller::m_frmMain_QueryUnload);
    if constexpr (unload)
        QObject::connect(window, &frmMain::Unload, controller,
                         &Controller::m_frmMain_Unload);
}
