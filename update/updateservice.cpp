#include "updateservice.h"

#include "appinfo.h"
#include "elevation.h"
#include "httpget.h"
#include "processwait.h"
#include "settings.h"
#include "unpack.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QUrl>

#include <memory>

namespace {

constexpr char kOldestHandOver[] = "2.0.1";
constexpr char kFileAvailable[] = "UpdateService::onFileAvailable";
constexpr char kPerform[] = "UpdateService::performUpdate";

#ifdef Q_OS_WIN
constexpr char kAdminTool[] = "ZMP_Admin.exe";
#else
constexpr char kAdminTool[] = "zentria-admin";
#endif

QString native(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

QStringList developerArguments()
{
    return Settings::isDeveloperMode() ? QStringList{QStringLiteral("--developer")} : QStringList{};
}

// The program of the same file name as the running one, in another folder.
QString programIn(const QString& directory)
{
    return QDir(directory).filePath(QFileInfo(QCoreApplication::applicationFilePath()).fileName());
}

bool isDigest(const QString& word)
{
    static const QRegularExpression sha256(QStringLiteral("^[0-9A-Fa-f]{64}$"));
    return sha256.match(word).hasMatch();
}

// The user may change the installation folder without administrator rights,
// staging folder beside it included.
bool isWritableByUser(const QFileInfo& target)
{
    return target.isWritable() && QFileInfo(target.absolutePath()).isWritable();
}

}  // namespace

UpdateService::UpdateService(QObject* parent) : QObject(parent), m_http(new HttpGet(this))
{
    connect(m_http, &HttpGet::finished, this, &UpdateService::httpFinished);
    connect(m_http, &HttpGet::progress, this, &UpdateService::httpProgress);
}

UpdateService::~UpdateService() = default;

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

QString UpdateService::runningVersion()
{
    const QString builtIn = QString::fromLatin1(AppInfo::version);
    QFile file(QCoreApplication::applicationDirPath() + QStringLiteral("/version-override"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return builtIn;
    const QString version = QString::fromUtf8(file.readLine()).trimmed();
    if (packVersion(version) == 0) {
        qDebug("[%s] %s ignored, it names no version", "UpdateService::runningVersion",
               qPrintable(file.fileName()));
        return builtIn;
    }
    return version;
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

bool UpdateService::checkForUpdates()
{
    if (m_localVersion.isEmpty() || m_updateUrl.isEmpty())
        return false;
    setErrorText({});
    m_busy = true;
    const std::unique_ptr<QFile> file(fetchFile(QStringLiteral("version.txt")));
    if (file) {
        readVersionFile(file->readAll());
        file->remove();
    }
    m_busy = false;
    if (m_hasError)
        qDebug("[%s] %s", "UpdateService::checkForUpdates", qPrintable(m_errorText));
    // A version the server file did not give is known to be none: not packed
    // (and reported) a second time.
    return file && !m_hasError && packVersion(m_localVersion) < packVersion(m_remoteVersion);
}

void UpdateService::readVersionFile(const QByteArray& content)
{
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    const QStringList words = QString::fromUtf8(content).split(blanks, Qt::SkipEmptyParts);
    const QString version = words.value(0);
    qDebug("Version on server: %s", qPrintable(version));
    if (packVersion(version) == 0)
        setErrorText(tr("Cannot recognize version on server: %1").arg(version));
    m_remoteVersion = version;
    m_changelogUrl = words.value(1);
    m_archiveDigest = isDigest(words.value(2)) ? words.value(2).toLower() : QString();
}

QUrl UpdateService::fileUrl(const QString& name) const
{
    return QUrl(m_updateUrl + QLatin1Char('/') + name);
}

QFile* UpdateService::fetchFile(const QString& name)
{
    const QString path = m_http->get(fileUrl(name), false);
    if (path.isEmpty()) {
        setErrorText(tr("Cannot download file, error: %1").arg(m_http->errorText()));
        return nullptr;
    }
    auto file = std::make_unique<QFile>(path);
    if (!file->open(QIODevice::ReadOnly)) {
        setErrorText(tr("Cannot open file for reading: %1").arg(path));
        return nullptr;
    }
    return file.release();
}

void UpdateService::downloadUpdates()
{
    if (m_busy)
        return;
    m_busy = true;
    emit downloadStarted();
    m_http->get(fileUrl(QStringLiteral("product.zip")), true);
}

void UpdateService::httpFinished(const QString& fileName)
{
    if (fileName.isEmpty()) {
        setErrorText(tr("Error occured while checking for updates"));
        qDebug("HTTP error -- %s", qPrintable(m_http->errorText()));
        m_busy = false;
        // The window shows the error and ends; the next start offers again.
        emit downloadFinished(QString());
        return;
    }
    auto* file = new QFile(fileName, this);
    if (!file->open(QIODevice::ReadOnly)) {
        delete file;
        setErrorText(tr("Cannot open file for reading: %1").arg(fileName));
        m_busy = false;
        emit downloadFinished(QString());
        return;
    }
    onFileAvailable(file);
}

void UpdateService::httpProgress(int percent)
{
    emit downloadProgress(percent);
}

void UpdateService::onFileAvailable(QFile* file)
{
    const QString archive = file->fileName();
    delete file;
    const QString directory = extractDirectory();
    removeExtractDirectory(directory);
    QDir().mkpath(directory);
    if (archiveIsGenuine(archive))
        unpack(archive, directory);
    QFile::remove(archive);
    m_busy = false;
    emit downloadFinished(directory);
}

// The folder lies in the shared temporary folder: one that another user put
// there as a link is taken away as a link, never followed into what it names.
void UpdateService::removeExtractDirectory(const QString& directory)
{
    if (QFileInfo(directory).isSymLink())
        QFile::remove(directory);
    else
        QDir(directory).removeRecursively();
}

QString UpdateService::extractDirectory()
{
    return QDir::temp().filePath(QStringLiteral("zentria_player"));
}

bool UpdateService::archiveIsGenuine(const QString& path)
{
    if (m_archiveDigest.isEmpty()) {
        qDebug("[%s] %s is not verified: version.txt names no SHA-256", kFileAvailable,
               qPrintable(path));
        return true;
    }
    QFile file(path);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (file.open(QIODevice::ReadOnly) && hash.addData(&file) &&
        hash.result().toHex() == m_archiveDigest.toLatin1())
        return true;
    qDebug("[%s] SHA-256 of %s is %s, the server names %s", kFileAvailable, qPrintable(path),
           hash.result().toHex().constData(), qPrintable(m_archiveDigest));
    setErrorText(
        tr("The downloaded update does not match the checksum (SHA-256) published by the "
           "update server: it is damaged or not genuine. Nothing was installed."));
    return false;
}

void UpdateService::unpack(const QString& archive, const QString& directory)
{
    const int code = Unpack::unpackZip(archive, directory);
    if (code == Unpack::Unpacked)
        return;
    qDebug("[%s] UnZIP returned %d", kFileAvailable, code);
    setErrorText(tr("Error occured while unpacking ZIP-archive, return code = %1").arg(code));
    removeExtractDirectory(directory);
}

bool UpdateService::runUnpackedVersion(const QString& extractDirectory)
{
    if (!QFileInfo::exists(extractDirectory) || m_localVersion.isEmpty())
        return false;
    const QStringList arguments =
        developerArguments() + QStringList{QStringLiteral("update"), m_localVersion,
                                           QString::number(QCoreApplication::applicationPid()),
                                           native(extractDirectory),
                                           native(QCoreApplication::applicationDirPath())};
    if (!QProcess::startDetached(programIn(extractDirectory), arguments)) {
        setErrorText(tr("Cannot run unpacked (fresh) version of application"));
        return false;
    }
    return true;
}

struct UpdateService::HandOver
{
    qint64 pid = 0;
    QFileInfo extract;
    QFileInfo target;
};

bool UpdateService::performUpdate(const QStringList& arguments)
{
    setErrorText({});
    HandOver handOver;
    if (!readHandOver(arguments, handOver))
        return false;
    qDebug("[%s] waiting for PID %d", kPerform, int(handOver.pid));
    ProcessWait::waitForEnd(handOver.pid);
    qDebug("[%s] starting file copying", kPerform);
    qDebug("[%s] %s => %s", kPerform, qPrintable(native(handOver.extract.absoluteFilePath())),
           qPrintable(native(handOver.target.absoluteFilePath())));
    return copyOverInstallation(handOver.extract, handOver.target) &&
           startFreshVersion(handOver.target.absoluteFilePath());
}

// "update" old-version pid extract-directory target-directory. An old
// version too old or a wrong count of words ends without an error.
bool UpdateService::readHandOver(const QStringList& arguments, HandOver& handOver)
{
    if (m_localVersion.isEmpty() || arguments.size() < 2 ||
        arguments.first() != QLatin1String("update")) {
        setErrorText(tr("Wrong command-line arguments."));
        return false;
    }
    const QStringList rest = arguments.mid(2);
    if (packVersion(arguments.at(1)) < packVersion(QString::fromLatin1(kOldestHandOver)) ||
        rest.size() != 3)
        return false;
    bool isNumber = false;
    handOver.pid = rest.at(0).toLongLong(&isNumber);
    handOver.extract.setFile(rest.at(1));
    handOver.target.setFile(rest.at(2));
    if (!isNumber) {
        setErrorText(
            tr("Application PID invalid: %1. Wrong command-line argument.").arg(rest.at(0)));
    } else if (!handOver.extract.exists()) {
        setErrorText(tr("Extract directory does not exists: %1. Wrong command-line argument.")
                         .arg(handOver.extract.absoluteFilePath()));
    } else if (!handOver.target.exists()) {
        setErrorText(tr("Target directory does not exists: %1. Wrong command-line argument.")
                         .arg(rest.at(2)));
    }
    return !m_hasError;
}

// The tool comes from the installation, not from the downloaded files: run
// with administrator rights, it must be one the user could not change.
bool UpdateService::copyOverInstallation(const QFileInfo& source, const QFileInfo& target)
{
    const QString tool = QDir(target.absoluteFilePath()).filePath(QLatin1String(kAdminTool));
    const QStringList arguments{QStringLiteral("filecopy"), native(source.absoluteFilePath()),
                                native(target.absoluteFilePath())};
    const bool direct = isWritableByUser(target);
    const int code = direct ? QProcess::execute(tool, arguments)
                            : Utils::executeElevated(tool, arguments, nullptr);
    if (code == 0)
        return true;
    QString error =
        tr("Copy error: %1 => %2").arg(source.absoluteFilePath(), target.absoluteFilePath());
    if (const QString noElevation = direct ? QString() : Elevation::unavailableReason();
        !noElevation.isEmpty())
        error += QLatin1Char('\n') + noElevation;
    setErrorText(error);
    return false;
}

bool UpdateService::startFreshVersion(const QString& target)
{
    const QString program = programIn(target);
    qDebug("[%s] starting fresh version", kPerform);
    qDebug("[%s] %s", kPerform, qPrintable(program));
    if (QProcess::startDetached(program, developerArguments()))
        return true;
    setErrorText(tr("Could not start fresh version"));
    return false;
}

void UpdateService::setErrorText(const QString& text)
{
    m_errorText = text;
    m_hasError = !text.isEmpty();
}
