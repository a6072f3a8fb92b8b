#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

// Knows the running version and the update server, and reads from the command
// line which way this start goes. Checking for, downloading and installing a
// newer version build on it.
class UpdateService : public QObject
{
    Q_OBJECT
public:
    enum class StartMode { Normal, CancelledUpdate, Update };

    explicit UpdateService(QObject* parent = nullptr);

    // "2.2.16" -> 0x02021000; 0 for a text that is not a version.
    static quint32 packVersion(const QString& version);

    void setLocalVersion(const QString& version);
    QString localVersion() const { return m_localVersion; }
    void setUpdateUrl(const QString& url);
    QString updateUrl() const { return m_updateUrl; }

    bool hasError() const { return m_hasError; }
    QString errorText() const { return m_errorText; }

    // The arguments without the program name (and without "--developer" in
    // developer mode).
    StartMode startMode(const QStringList& arguments) const;

    // The second half of an update, run by the unpacked new version.
    bool performUpdate(const QStringList& arguments);

private:
    void setErrorText(const QString& text);

    bool m_busy = false;
    bool m_hasError = false;
    QString m_errorText;
    QString m_updateUrl;
    QString m_localVersion;
};
