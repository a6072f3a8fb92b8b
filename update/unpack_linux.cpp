#include "unpack.h"

#include <QDir>
#include <QFile>

#include <sys/stat.h>
#include <zip.h>

#include <memory>

namespace {

constexpr char kWhere[] = "Unpack::unpackZip";

using Archive = std::unique_ptr<zip_t, decltype(&zip_discard)>;

QString entryName(zip_t* archive, zip_uint64_t index)
{
    return QString::fromUtf8(zip_get_name(archive, index, ZIP_FL_ENC_GUESS));
}

// The file type and permission bits, 0 when the archive keeps none.
mode_t unixMode(zip_t* archive, zip_uint64_t index)
{
    zip_uint8_t system = 0;
    zip_uint32_t attributes = 0;
    if (zip_file_get_external_attributes(archive, index, 0, &system, &attributes) != 0 ||
        system != ZIP_OPSYS_UNIX)
        return 0;
    return mode_t(attributes >> 16);
}

bool isSafe(zip_t* archive, zip_uint64_t index)
{
    const QString name = entryName(archive, index);
    if (name.isEmpty() || name.startsWith(QLatin1Char('/')) || name.contains(QLatin1Char('\\')) ||
        name.split(QLatin1Char('/')).contains(QStringLiteral("..")) ||
        S_ISLNK(unixMode(archive, index))) {
        qDebug("[%s] unsafe entry refused: %s", kWhere, qPrintable(name));
        return false;
    }
    return true;
}

int extractFile(zip_t* archive, zip_uint64_t index, const QString& path)
{
    std::unique_ptr<zip_file_t, decltype(&zip_fclose)> entry(zip_fopen_index(archive, index, 0),
                                                             zip_fclose);
    QFile file(path);
    if (!entry || !QDir().mkpath(QFileInfo(path).path()) || !file.open(QIODevice::WriteOnly))
        return entry ? Unpack::CannotWrite : Unpack::CorruptArchive;
    char buffer[1 << 16];
    zip_int64_t length = 0;
    while ((length = zip_fread(entry.get(), buffer, sizeof buffer)) > 0) {
        if (file.write(buffer, length) != length)
            return Unpack::CannotWrite;
    }
    if (length < 0) {
        qDebug("[%s] %s: %s", kWhere, qPrintable(path), zip_file_strerror(entry.get()));
        return Unpack::CorruptArchive;
    }
    if (const mode_t mode = unixMode(archive, index) & 0777)
        ::chmod(QFile::encodeName(path).constData(), mode);
    return Unpack::Unpacked;
}

int extract(zip_t* archive, zip_uint64_t index, const QDir& directory)
{
    const QString name = entryName(archive, index);
    if (name.endsWith(QLatin1Char('/')))
        return QDir().mkpath(directory.filePath(name)) ? Unpack::Unpacked : Unpack::CannotWrite;
    return extractFile(archive, index, directory.filePath(name));
}

}  // namespace

int Unpack::unpackZip(const QString& archivePath, const QString& directory)
{
    int error = 0;
    Archive archive(
        zip_open(QFile::encodeName(archivePath).constData(), ZIP_RDONLY | ZIP_CHECKCONS, &error),
        zip_discard);
    if (!archive) {
        zip_error_t reason;
        zip_error_init_with_code(&reason, error);
        qDebug("[%s] %s: %s", kWhere, qPrintable(archivePath), zip_error_strerror(&reason));
        zip_error_fini(&reason);
        return error == ZIP_ER_NOZIP ? NotAnArchive : CorruptArchive;
    }
    const zip_uint64_t count = zip_uint64_t(zip_get_num_entries(archive.get(), 0));
    for (zip_uint64_t index = 0; index < count; ++index) {
        if (!isSafe(archive.get(), index))
            return UnsafeEntry;
    }
    for (zip_uint64_t index = 0; index < count; ++index) {
        if (const int result = extract(archive.get(), index, QDir(directory)))
            return result;
    }
    return Unpacked;
}
