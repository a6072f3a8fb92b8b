#include "customfilesystemmodel.h"

#include <QDir>

namespace {
const char* const kDefaultFileIcon = ":/images/text-x-generic.png";
const QString kDrives = QStringLiteral("/");
}  // namespace

CustomFileSystemModel::CustomFileSystemModel(QObject* parent)
    : QAbstractTableModel(parent),
      m_fileIcon(kDefaultFileIcon),
      m_folderIcon(":/images/folder.png"),
      m_driveIcon(":/images/drive.png")
{
}

void CustomFileSystemModel::setPath(const QString& path)
{
    m_path = path;
    refresh();
    emit pathChanged(m_path);
}

void CustomFileSystemModel::setNameFilters(const QStringList& filters)
{
    m_nameFilters = filters;
    refresh();
}

void CustomFileSystemModel::setFileIcon(const QIcon& icon)
{
    m_fileIcon = icon.isNull() ? QIcon(kDefaultFileIcon) : icon;
}

void CustomFileSystemModel::refresh()
{
    beginResetModel();
    m_entries.clear();
    if (m_path != kDrives) {
        m_parentRowShown = true;
        const QDir folder(m_path);
        // Folders are listed whatever the filters say (AllDirs).
        if (folder.exists())
            m_entries = folder.entryInfoList(
                m_nameFilters,
                QDir::Dirs | QDir::Files | QDir::Drives | QDir::AllDirs | QDir::NoDotAndDotDot,
                QDir::Name | QDir::DirsFirst);
    } else {
        if (m_drives.isEmpty())
            m_drives = QDir::drives();
        m_entries = m_drives;
        m_parentRowShown = false;
    }
    endResetModel();
}

bool CustomFileSystemModel::isParentRow(const QModelIndex& index) const
{
    return index.isValid() && m_parentRowShown && index.row() == 0;
}

const QFileInfo* CustomFileSystemModel::entry(const QModelIndex& index) const
{
    if (!index.isValid() || isParentRow(index))
        return nullptr;
    const int position = index.row() - (m_parentRowShown ? 1 : 0);
    return position < m_entries.size() ? &m_entries.at(position) : nullptr;
}

QFileInfo CustomFileSystemModel::fileInfo(const QModelIndex& index) const
{
    if (isParentRow(index)) {
        const QDir folder(m_path);
        if (folder.isRoot())
            return QFileInfo(kDrives);
        return QFileInfo(QFileInfo(QDir::cleanPath(folder.absolutePath())).absolutePath());
    }
    const QFileInfo* info = entry(index);
    return info ? *info : QFileInfo();
}

QString CustomFileSystemModel::sizeText(qint64 bytes)
{
    constexpr qint64 k = 1024;
    if (bytes <= k)
        return QString::number(bytes);
    const auto scaled = [bytes](qint64 unit, const char* suffix) {
        return QStringLiteral("%1 %2").arg(double(bytes) / double(unit), 0, 'f', 1).arg(suffix);
    };
    if (bytes <= k * k)
        return scaled(k, "k");
    if (bytes <= k * k * k)
        return scaled(k * k, "M");
    return scaled(k * k * k, "G");
}

int CustomFileSystemModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid())
        return 0;
    return int(m_entries.size()) + (m_parentRowShown ? 1 : 0);
}

int CustomFileSystemModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 2;
}

QVariant CustomFileSystemModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    if (role == Qt::TextAlignmentRole) {
        const Qt::Alignment side = index.column() == 0 ? Qt::AlignLeft : Qt::AlignRight;
        return int(side | Qt::AlignVCenter);
    }
    if (isParentRow(index))
        return role == Qt::DisplayRole && index.column() == 0 ? QStringLiteral("..") : QVariant();
    const QFileInfo* info = entry(index);
    if (!info)
        return {};
    if (role == Qt::DisplayRole) {
        if (index.column() == 0)
            return showsDrives() ? info->absoluteFilePath() : info->fileName();
        if (info->isFile() && !showsDrives())
            return sizeText(info->size());
    } else if (role == Qt::DecorationRole && index.column() == 0) {
        if (showsDrives())
            return m_driveIcon;
        return info->isDir() ? m_folderIcon : m_fileIcon;
    }
    return {};
}

QVariant CustomFileSystemModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole) {
        if (section == 0)
            return tr("Recording Name");
        if (section == 1)
            return tr("Size");
    }
    return QAbstractTableModel::headerData(section, orientation, role);
}
