#include "recordingfile.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace {

const QString stagingSuffix = QStringLiteral(".recording-");

// A file name's longest part in a staging folder's name, in bytes: with the
// dot and the suffix the folder's name stays within the usual 255.
constexpr int maxNameBytes = 200;

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

// The file name as a staging folder carries it; a very long one is cut short
// before its suffix.
QString stagedName(const QString& fileName)
{
    const QFileInfo info(fileName);
    const QString suffix = info.suffix().isEmpty() ? QString() : u'.' + info.suffix();
    QString base = info.completeBaseName();
    while (!base.isEmpty() && (base + suffix).toUtf8().size() > maxNameBytes)
        base.chop(1);
    return base + suffix;
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
    QTemporaryDir staging(
        QStringLiteral("%1/.%2%3XXXXXX")
            .arg(info.absolutePath(), stagedName(info.fileName()), stagingSuffix));
    if (!staging.isValid())
        return false;
    staging.setAutoRemove(false);
    m_folder = staging.path();
    m_target = info.absoluteFilePath();
    return true;
}

QString RecordingFile::targetFolder() const
{
    return m_target.isEmpty() ? m_folder : QFileInfo(m_target).absolutePath();
}

bool RecordingFile::hasRecorded() const
{
    return !m_target.isEmpty() && !newestFileIn(m_folder).isEmpty();
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

QStringList RecordingFile::recoverAbandoned(const QString& folder, const QStringList& busy)
{
    static const QRegularExpression stagingName(
        QStringLiteral("^\\.(.+)%1.{6}$").arg(QRegularExpression::escape(stagingSuffix)));
    QStringList placed;
    const QDir dir(folder);
    for (const QFileInfo& staging :
         dir.entryInfoList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name)) {
        const QRegularExpressionMatch match = stagingName.match(staging.fileName());
        if (!match.hasMatch() || busy.contains(staging.absoluteFilePath()))
            continue;
        RecordingFile file;
        file.m_folder = staging.absoluteFilePath();
        file.m_target = dir.absoluteFilePath(match.captured(1));
        if (!file.hasRecorded())
            file.abandon();
        else if (const std::optional<QString> recovered = file.finish())
            placed << *recovered;
    }
    return placed;
}
