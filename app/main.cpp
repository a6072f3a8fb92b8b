#include "appinfo.h"
#include "customwebview.h"
#include "startup.h"
#include "videoplatform.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    VideoPlatform::preferX11UnderWayland();
    CustomWebView::prepareApplication();
    QApplication application(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(AppInfo::name));
    QApplication::setApplicationVersion(QString::fromLatin1(AppInfo::version));

    Startup startup;
    return startup.run();
}
