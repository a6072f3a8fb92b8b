#include "foldercopy.h"
#include "httpget.h"
#include "logcapture.h"
#include "tablerows.h"
#include "updateservice.h"

#include <QCryptographicHash>
#include <QDirIterator>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <zip.h>

#include <list>

namespace {

// "name=content" entries (the content repeated, to be compressed) and
// "name->target" symbolic links, separated by ';'.
void writeArchive(const QString& path, const QString& entries)
{
    int error = 0;
    zip_t* archive =
        zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    QVERIFY(archive);
    std::list<QByteArray> contents;  // read at zip_close
    for (const QString& entry : entries.split(';', Qt::SkipEmptyParts)) {
        const bool link = entry.contains("->");
        const QStringList parts = entry.split(link ? "->" : "=");
        const QByteArray& content = contents.emplace_back(
            link ? parts.at(1).toUtf8() : parts.at(1).toUtf8().repeated(1000));
        zip_source_t* source = zip_source_buffer(archive, content.constData(), content.size(), 0);
        const zip_int64_t index =
            zip_file_add(archive, parts.at(0).toUtf8().constData(), source, 0);
        QVERIFY(index >= 0);
        const zip_uint32_t mode = link ? S_IFLNK | 0777 : S_IFREG | 0755;
        zip_file_set_external_attributes(archive, index, 0, ZIP_OPSYS_UNIX, mode << 16);
    }
    QCOMPARE(zip_close(archive), 0);
}

// Flipped: past the first local header, in the compressed data.
void damage(const QString& path, const QString& how, int firstNameLength)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite) &&
            file.seek(how == "flip" ? 30 + firstNameLength + 4 : 0));
    if (how == "cut")
        QVERIFY(file.resize(file.size() / 2));
    if (how == "flip" || how == "text")
        QVERIFY(file.write(how == "flip" ? "\xff\xff\xff" : "<html>no archive</html>") > 0);
}

void write(const QString& path, const QByteArray& content)
{
    QFile file(path);
    QVERIFY(QDir().mkpath(QFileInfo(path).path()) && file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(content), content.size());
}

QByteArray read(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList filesBelow(const QString& directory)
{
    QStringList files;
    QDirIterator it(directory, QDir::Files | QDir::System | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        files << QDir(directory).relativeFilePath(it.next());
    files.sort();
    return files;
}

}  // namespace

class TestUpdate : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void startModes_data() { addTableRows(QFINDTESTDATA("../data/update/start-modes.txt")); }
    void startModes();
    void versionFiles_data() { addTableRows(QFINDTESTDATA("../data/update/version-files.txt")); }
    void versionFiles();
    void archives_data() { addTableRows(QFINDTESTDATA("../data/update/archives.txt")); }
    void archives();
    void silentServerEndsTheDownload();
    void folderCopies_data() { addTableRows(QFINDTESTDATA("../data/update/folder-copies.txt")); }
    void folderCopies();

private:
    QTemporaryDir m_temp;  // the temporary folder of the service
};

void TestUpdate::initTestCase()
{
    QVERIFY(m_temp.isValid());
    qputenv("TMPDIR", QFile::encodeName(m_temp.path()));
}

void TestUpdate::startModes()
{
    QFETCH(QString, arguments);
    QFETCH(QString, local);
    QFETCH(QString, mode);
    UpdateService service;
    service.setLocalVersion(local);
    const QStringList modes{"normal", "cancelled", "update"};  // in the enumeration's order
    QCOMPARE(modes.at(int(service.startMode(arguments.split(' ', Qt::SkipEmptyParts)))), mode);
}

void TestUpdate::versionFiles()
{
    QFETCH(QString, content);
    QFETCH(QString, remote);
    QFETCH(QString, changelog);
    QFETCH(QString, digest);
    QFETCH(QString, error);
    UpdateService service;
    LogCapture log;
    service.readVersionFile(content.replace("\\n", "\n").toUtf8());
    QCOMPARE(log.contains("Cannot recognize version string -- " + remote), !error.isEmpty());
    QCOMPARE(service.remoteVersion(), remote);
    QCOMPARE(service.changelogUrl(), changelog);
    QCOMPARE(service.archiveDigest(), digest);
    QCOMPARE(service.errorText().trimmed(), error);
}

// Whatever fails, the archive is gone afterwards and nothing is written
// outside the extract directory, nor into it. A digest that does not match
// refuses the archive; without one the log says it was not verified.
void TestUpdate::archives()
{
    QFETCH(QString, entries);
    QFETCH(QString, damage);
    QFETCH(QString, digest);
    QFETCH(QString, error);
    QFETCH(QString, unpacked);
    const QString archive = m_temp.filePath("product.zip");
    writeArchive(archive, entries);
    ::damage(archive, damage, int(entries.section('=', 0, 0).size()));
    QFile file(archive);
    if (digest == "own" && file.open(QIODevice::ReadOnly))
        digest = QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256).toHex();
    UpdateService service;
    service.readVersionFile("2.3 http://web/log.html " + digest.toLatin1());
    LogCapture log;

    service.onFileAvailable(new QFile(archive));
    QCOMPARE(service.errorText().right(error.size()), error);
    QCOMPARE(service.hasError(), !error.isEmpty());
    QCOMPARE(log.contains("version.txt names no SHA-256"), digest.isEmpty());
    QCOMPARE(filesBelow(m_temp.path()).join(';').remove("zentria_player/"), unpacked);
    if (!unpacked.isEmpty())
        QVERIFY(QFileInfo(m_temp.filePath("zentria_player/zentria-player")).isExecutable());
}

// A server that takes the connection and never answers: the check at start
// and the archive's download both end with an error instead of waiting.
void TestUpdate::silentServerEndsTheDownload()
{
    QTcpServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost));
    const QUrl url(QString("http://127.0.0.1:%1/product.zip").arg(server.serverPort()));
    HttpGet http;
    http.setTimeout(100);
    http.setStallTimeout(100);
    QVERIFY(http.get(url, false).isEmpty());
    QVERIFY(http.errorText().contains("100 ms"));

    QSignalSpy finished(&http, &HttpGet::finished);
    QVERIFY(http.get(url, true).isEmpty());
    QVERIFY(finished.wait());
    QCOMPARE(finished.first().first().toString(), QString());
    QVERIFY(http.errorText().contains("100 ms"));
}

// The installation is either the old one, whole, or the old one with the
// update over it; nothing is left beside it either way.
void TestUpdate::folderCopies()
{
    QFETCH(QString, extra);
    QFETCH(QString, allowed);
    QFETCH(QString, copied);
    QTemporaryDir root;
    const QString installation = root.filePath("installation");
    const QString update = root.filePath("update");
    write(installation + "/zentria-player", "old");
    write(installation + "/qt_ru.qm", "qm");
    write(update + "/zentria-player", "new");
    write(update + "/lib/extra", "x");
    if (extra == "link")
        QVERIFY(QFile::link("/etc", update + "/lib/link"));
    if (extra == "fifo")
        QCOMPARE(::mkfifo(QFile::encodeName(update + "/lib/fifo").constData(), 0600), 0);
    QVERIFY(QDir(root.path()).mkdir("elsewhere"));

    const QString error = FolderCopy::copyOver(update, installation, root.filePath(allowed));
    const bool isCopied = copied == "yes";
    QVERIFY2(error.isEmpty() == isCopied, qPrintable(error));
    QCOMPARE(read(installation + "/zentria-player"), isCopied ? "new" : "old");
    QCOMPARE(read(installation + "/qt_ru.qm"), "qm");
    QCOMPARE(read(installation + "/lib/extra"), isCopied ? "x" : "");
    QCOMPARE(QDir(root.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList({"elsewhere", "installation", "update"}));
}

QTEST_GUILESS_MAIN(TestUpdate)
#include "tst_update.moc"
