#include "recordingfile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

void writeFile(const QString& path, const QByteArray& content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

class TestRecordingFile : public QObject
{
    Q_OBJECT
private slots:
    void aFolderIsGivenAsItIs();
    void aFileIsRecordedInAStagingFolderBesideIt();
    void finishMovesTheRecordingToAFreeName_data();
    void finishMovesTheRecordingToAFreeName();
    void finishWaitsForTheRecording();
    void abandonRemovesTheStagingFolder();
    void anUnwritablePlaceIsRefused();
};

void TestRecordingFile::aFolderIsGivenAsItIs()
{
    QTemporaryDir folder;
    RecordingFile file;
    QVERIFY(file.begin(folder.path()));
    QVERIFY(file.isActive());
    QCOMPARE(file.folder(), QDir(folder.path()).absolutePath());
    QVERIFY(file.finish());
    QVERIFY(!file.isActive());
    QVERIFY(QDir(folder.path()).exists());
}

void TestRecordingFile::aFileIsRecordedInAStagingFolderBesideIt()
{
    QTemporaryDir folder;
    RecordingFile file;
    QVERIFY(file.begin(folder.filePath("news.mpg")));
    const QFileInfo staging(file.folder());
    QVERIFY(staging.isDir());
    QCOMPARE(staging.absolutePath(), QDir(folder.path()).absolutePath());
    QVERIFY(staging.fileName() != "news.mpg");
}

void TestRecordingFile::finishMovesTheRecordingToAFreeName_data()
{
    QTest::addColumn<QStringList>("taken");
    QTest::addColumn<QString>("placed");
    const QString name = QStringLiteral("2024.05.01 20.00 - News - Evening.mpg");
    QTest::newRow("free") << QStringList() << name;
    QTest::newRow("taken") << QStringList{name} << "2024.05.01 20.00 - News - Evening (2).mpg";
    QTest::newRow("taken twice") << QStringList{name, "2024.05.01 20.00 - News - Evening (2).mpg"}
                                 << "2024.05.01 20.00 - News - Evening (3).mpg";
    QTest::newRow("no suffix") << QStringList{"News"} << "News (2)";
}

void TestRecordingFile::finishMovesTheRecordingToAFreeName()
{
    QFETCH(QStringList, taken);
    QFETCH(QString, placed);
    QTemporaryDir folder;
    for (const QString& name : taken)
        writeFile(folder.filePath(name), "earlier " + name.toUtf8());
    RecordingFile file;
    const QString target = folder.filePath(taken.value(0, placed));
    QVERIFY(file.begin(target));
    const QString staging = file.folder();
    writeFile(staging + "/vlc-record-2024-05-01-20h00m00s-stream.ts-.ts", "TS data");

    QCOMPARE(file.finish(), std::optional<QString>(folder.filePath(placed)));
    QCOMPARE(readFile(folder.filePath(placed)), QByteArray("TS data"));
    for (const QString& name : taken)
        QCOMPARE(readFile(folder.filePath(name)), "earlier " + name.toUtf8());
    QVERIFY(!QFileInfo::exists(staging));
    QStringList present =
        QDir(folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    QStringList expected = taken << placed;
    present.sort();
    expected.sort();
    QCOMPARE(present, expected);
}

void TestRecordingFile::finishWaitsForTheRecording()
{
    QTemporaryDir folder;
    RecordingFile file;
    const QString target = folder.filePath("later.mpg");
    QVERIFY(file.begin(target));
    QVERIFY(!file.finish());
    QVERIFY(file.isActive());
    writeFile(file.folder() + "/vlc-record.ts", "late");
    QCOMPARE(file.finish(), std::optional<QString>(target));
    QCOMPARE(readFile(target), QByteArray("late"));
}

void TestRecordingFile::abandonRemovesTheStagingFolder()
{
    QTemporaryDir folder;
    RecordingFile file;
    QVERIFY(file.begin(folder.filePath("never.mpg")));
    const QString staging = file.folder();
    file.abandon();
    QVERIFY(!file.isActive());
    QVERIFY(!QFileInfo::exists(staging));
    QVERIFY(QDir(folder.path()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
}

void TestRecordingFile::anUnwritablePlaceIsRefused()
{
    QTemporaryDir folder;
    const QString notAFolder = folder.filePath("plain-file");
    writeFile(notAFolder, "x");
    RecordingFile file;
    QVERIFY(!file.begin(notAFolder + "/recording.mpg"));
    QVERIFY(!file.isActive());
}

QTEST_GUILESS_MAIN(TestRecordingFile)
#include "tst_recordingfile.moc"
