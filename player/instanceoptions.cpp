#include "instanceoptions.h"

#include "settings.h"
#include "videoplatform.h"

#include <QDebug>

InstanceOptions InstanceOptions::fromSettings()
{
    const Settings* settings = Settings::instance();
    InstanceOptions options;
    options.gpuDecoding = settings->useGPUAcceleration();
    options.httpReconnect = settings->useHttpReconnect();
    options.networkCaching = settings->networkCaching();
    options.recordPath = settings->recordSaveFolder();
    options.outputArguments = VideoPlatform::outputArguments();
    return options;
}

QStringList instanceArguments(const InstanceOptions& options)
{
    QStringList arguments = {"-I", "dummy", "--no-osd", "--ignore-config"};
    // libVLC 3 decodes in hardware unless told not to and no longer knows the
    // older "--ffmpeg-hw" switch, so the setting has to be said both ways.
    arguments << (options.gpuDecoding ? "--avcodec-hw=any" : "--avcodec-hw=none");
    arguments << "--deinterlace=1";
    // libVLC 3 accepts the per-protocol caching options but leaves the caching
    // to "--network-caching" below.
    arguments << (options.ftpSource ? "--ftp-caching=5000" : "--udp-caching=1000");
    if (options.httpReconnect)
        arguments << "--http-reconnect";
    if (options.networkCaching >= 1 && options.networkCaching <= maxNetworkCaching) {
        qDebug("Setting network caching to %d ms", options.networkCaching);
        arguments << QStringLiteral("--network-caching=%1").arg(options.networkCaching);
    }
    qDebug("Setting input-record-path to %s", qPrintable(options.recordPath));
    arguments << QStringLiteral("--input-record-path=") + options.recordPath;
    if (!options.subtitleFont.isEmpty()) {
        qDebug("Setting subtitle font to %s", qPrintable(options.subtitleFont));
        arguments << QStringLiteral("--freetype-font=") + options.subtitleFont;
    }
    return arguments + options.outputArguments;
}

ArgumentVector::ArgumentVector(const QStringList& arguments)
{
    for (const QString& argument : arguments)
        m_encoded.push_back(argument.toLocal8Bit());
    for (const QByteArray& argument : m_encoded)
        m_pointers.push_back(argument.constData());
}
