#pragma once

#include <QAbstractTableModel>
#include <QFileInfo>
#include <QIcon>
#include <QStringList>

// A folder as two columns, name and size: a ".." row leading up, then the
// sub-folders and the files that match the name filters. The path "/" stands
// for the list of drives, which has no ".." row.
class CustomFileSystemModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit CustomFileSystemModel(QObject* parent = nullptr);

    void setPath(const QString& path);
    QString path() const { return m_path; }
    void setNameFilters(const QStringList& filters);
    QStringList nameFilters() const { return m_nameFilters; }
    // A null icon brings back the default one.
    void setFileIcon(const QIcon& icon);

    // The entry of a row; for ".." the folder above, or "/" above a root.
    QFileInfo fileInfo(const QModelIndex& index) const;
    bool isParentRow(const QModelIndex& index) const;

    // A file's size as the Size column shows it.
    static QString sizeText(qint64 bytes);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

signals:
    void pathChanged(const QString& path);

private:
    void refresh();
    bool showsDrives() const { return !m_parentRowShown; }
    const QFileInfo* entry(const QModelIndex& index) const;

    QString m_path;
    QList<QFileInfo> m_entries;
    QList<QFileInfo> m_drives;
    QIcon m_fileIcon;
    QIcon m_folderIcon;
    QIcon m_driveIcon;
    bool m_parentRowShown = true;
    QStringList m_nameFilters;
};
