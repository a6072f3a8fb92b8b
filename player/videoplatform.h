#pragma once

#include <QStringList>

// Where libVLC draws, per windowing system.
namespace VideoPlatform {

// libVLC draws into X11 windows, not Wayland surfaces: under a Wayland session
// with XWayland present, Qt is asked for its xcb platform. Call before the
// application object is created; an explicit QT_QPA_PLATFORM is respected.
void preferX11UnderWayland();

// Qt runs without a display ("offscreen", "minimal"): its windows are not
// windows libVLC could draw into.
bool isHeadless();

// The libVLC output options for the running Qt platform: dummy video and
// audio outputs when headless, none otherwise.
QStringList outputArguments();

}  // namespace VideoPlatform
