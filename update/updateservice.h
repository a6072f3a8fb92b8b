#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class HttpGet;
class QFile;
class QFileInfo;
class QUrl;

// Knows the running version and the update server, and reads from the command
// line which way this start goes. At a normal start it asks the server for a
// newer version; when the user takes it, it downloads and unpacks the archive
// and hands over to the unpacked program, which installs itself in update
// mode.
class UpdateService : public QObject
{
    Q_OBJECT
public:
    enum class StartMode { Normal, CancelledUpdate, Update };

    explicit UpdateService(QObject* parent = nullptr);
    ~UpdateService() override;

    // "2.2.16" -> 0x02021000; 0 for a text that is not a version.
    static quint32 packVersion(const QString& version);
    // The version this build reports: its own, unless a "version-override"
    // file beside the executable names another one.
    static QString runningVersion();

    void setLocalVersion(const QString& version);
    QString localVersion() const { return m_localVersion; }
    void setUpdateUrl(const QString& url);
    QString updateUrl() const { return m_updateUrl; }

    bool hasError() const { return m_hasError; }
    QString errorText() const { return m_errorText; }
    QString remoteVersion() const { return m_remoteVersion; }
    QString changelogUrl() const { return m_changelogUrl; }
    // From the third word of version.txt; empty when the server names none.
    QString archiveDigest() const { return m_archiveDigest; }

    // The arguments without the program name (and without "--developer" in
    // developer mode).
    StartMode startMode(const QStringList& arguments) const;

    // Blocks while version.txt is fetched (a few seconds at most).
    bool checkForUpdates();
    // Reads the words of version.txt; the error is set when the version is
    // not one.
    void readVersionFile(const QByteArray& content);

    // Starts the downloaded program in the extract directory in update mode.
    bool runUnpackedVersion(const QString& extractDirectory);
    // The second half of an update, run by the unpacked new version.
    bool performUpdate(const QStringList& arguments);

    // Where the archive is unpacked.
    static QString extractDirectory();

signals:
    void updateAvailable(const QString& remoteVersion);
    void downloadStarted();
    void downloadProgress(int percent);
    void downloadFinished(const QString& localPath);

public slots:
    void downloadUpdates();
    void httpFinished(const QString& fileName);
    void httpProgress(int percent);
    void onFileAvailable(QFile* file);

private:
    struct HandOver;

    void setErrorText(const QString& text);
    QUrl fileUrl(const QString& name) const;
    QFile* fetchFile(const QString& name);  // synchronous; opened, or null with the error set
    bool archiveIsGenuine(const QString& path);
    void unpack(const QString& archive, const QString& directory);
    static void removeExtractDirectory(const QString& directory);
    bool readHandOver(const QStringList& arguments, HandOver& handOver);
    bool copyOverInstallation(const QFileInfo& source, const QFileInfo& target);
    bool startFreshVersion(const QString& target);

    bool m_busy = false;
    bool m_hasError = false;
    QString m_errorText;
    QString m_updateUrl;
    QString m_localVersion;
    QString m_remoteVersion;
    QString m_changelogUrl;
    QString m_archiveDigest;
    HttpGet* m_http = nullptr;
};
