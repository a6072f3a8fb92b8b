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

// path with a number: "name.ext" becomes "name (2).ext".
QString numbered(const QString& path, int number)
{
    const QFileInfo info(path);
    const QString suffix = info.suffix().isEmpty() ? QString() : u'.' + info.suffix();
    return QStringLiteral("%1/%2 (%3)%4")
        .arg(info.path(), info.completeBaseName(), QString::number(number), suffix);
}

// Moves from to the name asked for or the first free numbered one; an
// existing file is never replaced (a rename does not overwrite).
QString moveToFreeName(const QString& from, const QString& target)
{
    QString candidate = target;
    for (int number = 2; !QFile::rename(from, candidate); ++number) {
        if (!QFileInfo::exists(candidate))
            return QString();  // the name is free, the move itself failed
        candidate = numbered(target, number);
    }
    return candidate;
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

std::optional<QString> RecordingFile::finish()
{
    QString placed = m_folder;
    if (!m_target.isEmpty()) {
        const QString recorded = newestFileIn(m_folder);
        placed = recorded.isEmpty() ? QString() : moveToFreeName(recorded, m_target);
        if (placed.isEmpty())
            return std::nullopt;
    }
    abandon();
    return placed;
}

void RecordingFile::abandon()
{
    if (!m_target.isEmpty())
        QDir().rmdir(m_folder);
    m_folder.clear();
    m_target.clear();
}
