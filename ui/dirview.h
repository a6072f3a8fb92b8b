#pragma once

#include <QTableView>

class CustomFileSystemModel;
class QMenu;

// A small file browser over a CustomFileSystemModel of its own: activating a
// folder walks into it, activating a file announces it, and a file can be
// removed from the context menu.
class DirView : public QTableView
{
    Q_OBJECT
public:
    explicit DirView(QWidget* parent = nullptr);

    CustomFileSystemModel* fileSystemModel() const;

public slots:
    // Puts the current row on the first entry after "..".
    void selectFirst();

signals:
    void fileActivated(const QString& name);

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

private slots:
    void changeDirectory(const QModelIndex& index);
    void removeCurrent();

private:
    QMenu* m_menu;
};
