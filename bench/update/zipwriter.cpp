#include "zipwriter.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>

#include <sys/stat.h>
#include <zip.h>

ZipWriter::ZipWriter(const QString& path)
    : m_archive(zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, nullptr))
{
}

ZipWriter::~ZipWriter()
{
    if (m_archive)
        zip_discard(m_archive);
}

void ZipWriter::addFolder(const QString& folder)
{
    QDirIterator files(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (m_archive && files.hasNext()) {
        const QFileInfo file(files.next());
        add(QDir(folder).relativeFilePath(file.filePath()),
            zip_source_file(m_archive, QFile::encodeName(file.filePath()).constData(), 0, -1),
            file.isExecutable());
    }
}

void ZipWriter::addFile(const QString& name, const QByteArray& content, bool executable)
{
    const QByteArray& kept = m_contents.emplace_back(content);
    if (m_archive)
        add(name, zip_source_buffer(m_archive, kept.constData(), zip_uint64_t(kept.size()), 0),
            executable);
}

bool ZipWriter::close()
{
    if (!m_archive || m_failed || zip_close(m_archive) != 0)
        return false;
    m_archive = nullptr;
    return true;
}

void ZipWriter::add(const QString& name, zip_source* source, bool executable)
{
    const zip_int64_t index =
        source ? zip_file_add(m_archive, name.toUtf8().constData(), source, ZIP_FL_ENC_UTF_8) : -1;
    if (index < 0) {
        zip_source_free(source);
        m_failed = true;
        return;
    }
    const zip_uint32_t mode = S_IFREG | (executable ? 0755 : 0644);
    // The fastest deflate: the archives are made while the tests wait.
    m_failed |= zip_set_file_compression(m_archive, zip_uint64_t(index), ZIP_CM_DEFLATE, 1) != 0 ||
                zip_file_set_external_attributes(m_archive, zip_uint64_t(index), 0, ZIP_OPSYS_UNIX,
                                                 mode << 16) != 0;
}
