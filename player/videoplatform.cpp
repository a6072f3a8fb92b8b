#include "videoplatform.h"

#include <QGuiApplication>

namespace VideoPlatform {

void preferX11UnderWayland()
{
#ifdef Q_OS_LINUX
    const bool wayland = qEnvironmentVariableIsSet("WAYLAND_DISPLAY");
    const bool xwayland = qEnvironmentVariableIsSet("DISPLAY");
    if (wayland && xwayland && !qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "xcb");
#endif
}

bool isHeadless()
{
    const QString platform = QGuiApplication::platformName();
    return platform == QLatin1String("offscreen") || platform == QLatin1String("minimal");
}

QStringList outputArguments()
{
    if (!isHeadless())
        return {};
    return {"--vout=vdummy", "--aout=adummy", "--no-video-title-show"};
}

}  // namespace VideoPlatform
