#include "updateservice.h"

UpdateService::UpdateService(QObject* parent) : QObject(parent) {}

quint32 UpdateService::packVersion(const QString& version)
{
    const QStringList parts = version.split(QLatin1Char('.'));
    if (parts.size() < 2 || parts.size() > 4) {
        qDebug("Cannot recognize version string -- %s", qPrintable(version));
        return 0;
    }
    quint32 packed = parts.at(0).toUInt() << 24;
    for (int index = 1; index < parts.size(); ++index)
        packed += (parts.at(index).toUInt() % 256) << (8 * (3 - index));
    return packed;
}

void UpdateService::setLocalVersion(const QString& version)
{
    if (!m_busy && packVersion(version) != 0)
        m_localVersion = version;
}

void UpdateService::setUpdateUrl(const QString& url)
{
    if (!m_busy)
        m_updateUrl = url;
}

UpdateService::StartMode UpdateService::startMode(const QStringList& arguments) const
{
    if (arguments.isEmpty())
        return StartMode::Normal;
    if (arguments.first() == QLatin1String("cancelupdate"))
        return StartMode::CancelledUpdate;
    if (arguments.first() == QLatin1String("update") && !m_localVersion.isEmpty())
        return StartMode::Update;
    return StartMode::Normal;
}

bool UpdateService::performUpdate(const QStringList& arguments)
{
    Q_UNUSED(arguments)
    setErrorText(tr("This version cannot install updates yet."));
    return false;
}

void UpdateService::setErrorText(const QString& text)
{
    m_errorText = text;
    m_hasError = !text.isEmpty();
}
