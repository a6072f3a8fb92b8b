#include "recordingfile.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

QString newestFileIn(const QString& folder)
{
    const QFileInfoList files = QDir(folder).entryInfoList(QDir::Files, QDir::Time);
    return files.isEmpty() ? QString() : files.first().absoluteFilePath();
}

}  // namespace

bool RecordingFile::begin(const QString& path)
{
    const QFileInfo info(path);
    if (info.isDir()) {
        if (!info.isWritable())
            return false;
        m_folder = info.absoluteFilePath();
        m_target.clear();
        return true;
    }
    QTemporaryDir staging(info.absolutePath() + QStringLiteral("/.recording-XXXXXX"));
    if (!staging.isValid())
        return false;
    staging.setAutoRemove(false);
    m_folder = staging.path();
    m_target = info.absoluteFilePath();
    return true;
}

bool RecordingFile::finish()
{
    if (!m_target.isEmpty()) {
        const QString recorded = newestFileIn(m_folder);
        if (recorded.isEmpty() || !QFile::rename(recorded, m_target))
            return false;
    }
    abandon();
    return true;
}

void RecordingFile::abandon()
{
    if (!m_target.isEmpty())
        QDir().rmdir(m_folder);
    m_folder.clear();
    m_target.clear();
}
