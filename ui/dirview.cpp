#include "dirview.h"

#include "customfilesystemmodel.h"
#include "messageboxes.h"

#include <QContextMenuEvent>
#include <QFile>
#include <QHeaderView>
#include <QMenu>

DirView::DirView(QWidget* parent) : QTableView(parent), m_menu(new QMenu(this))
{
    setModel(new CustomFileSystemModel(this));
    verticalHeader()->hide();
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setShowGrid(false);
    horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    horizontalHeader()->setSectionResizeMode(1, QHeaderView::Interactive);
    setColumnWidth(1, 100);
    connect(this, &QAbstractItemView::activated, this, &DirView::changeDirectory);
    m_menu->addAction(QIcon(":/images/remove.png"), tr("Remove"), this, &DirView::removeCurrent);
}

CustomFileSystemModel* DirView::fileSystemModel() const
{
    return qobject_cast<CustomFileSystemModel*>(model());
}

void DirView::selectFirst()
{
    const int rows = model()->rowCount();
    if (rows > 0)
        setCurrentIndex(model()->index(rows > 1 ? 1 : 0, 0));
}

void DirView::changeDirectory(const QModelIndex& index)
{
    CustomFileSystemModel* files = fileSystemModel();
    if (!files) {
        qDebug("[DirView::changeDirectory] !!! cannot cast model to CustomFileSystemModel !!!");
        return;
    }
    const QFileInfo info = files->fileInfo(index);
    // ".." leads up even from a folder that has gone, whose parent may be gone too.
    if (info.isDir() || files->isParentRow(index)) {
        files->setPath(info.absoluteFilePath());
        selectFirst();
    } else if (info.isFile()) {
        emit fileActivated(info.absoluteFilePath());
    }
}

void DirView::contextMenuEvent(QContextMenuEvent* event)
{
    const CustomFileSystemModel* files = fileSystemModel();
    if (files && files->fileInfo(currentIndex()).isFile())
        m_menu->popup(event->globalPos());
}

void DirView::removeCurrent()
{
    CustomFileSystemModel* files = fileSystemModel();
    if (!files)
        return;
    const QFileInfo info = files->fileInfo(currentIndex());
    if (!info.isFile())
        return;
    if (!QFile::remove(info.absoluteFilePath())) {
        MessageBoxes::show(MessageBoxes::Kind::Warning, this, tr("Error"),
                           tr("Cannot remove this file!"));
        return;
    }
    files->setPath(files->path());
}
