#pragma once

#include "frmMain.h"

// Subscribes a controller to each life-cycle event of the main window for
// which it has a public handler named after the member and the event
// (m_frmMain_Load, ..._Resize, ..._Activate, ..._QueryUnload, ..._Unload).
// Qt calls the handlers of one event in the order of subscription, so the
// controllers see each event in the order in which they were created, and it
// drops the subscriptions itself when either side goes.
template <class C> void subscribeToWindow(frmMain *window, C *controller) {
    static_assert(
        requires { &C::m_frmMain_Load; } ||
            requires { &C::m_frmMain_Unload; } ||
            requires { &C::m_frmMain_Activate; },
        "no public handler of the window's events");
    if constexpr (requires { &C::m_frmMain_Load; })
        QObject::connect(window, &frmMain::Load, controller,
                         &C::m_frmMain_Load);
    if constexpr (requires { &C::m_frmMain_Resize; })
        QObject::connect(window, &frmMain::Resize, controller,
                         &C::m_frmMain_Resize);
    if constexpr (requires { &C::m_frmMain_Activate; })
        QObject::connect(window, &frmMain::Activate, controller,
                         &C::m_frmMain_Activate);
    if constexpr (requires { &C::m_frmMain_QueryUnload; })
        QObject::connect(window, &frmMain::QueryUnload, controller,
                         &C::m_frmMain_QueryUnload);
    if constexpr (requires { &C::m_frmMain_Unload; })
        QObject::connect(window, &frmMain::Unload, controller,
                         &C::m_frmMain_Unload);
}
