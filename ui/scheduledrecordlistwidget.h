#pragma once

#include <QIcon>
#include <QList>
#include <QPointer>
#include <QTableWidget>

class QSignalMapper;
class QToolButton;
class RecordTableManager;

// The record table as a list: channel, telecast and start of every scheduled
// telecast, with a button in each row that cancels its recording.
class ScheduledRecordListWidget : public QTableWidget
{
    Q_OBJECT
public:
    explicit ScheduledRecordListWidget(QWidget* parent = nullptr);

    // Follows the table's changes from now on; null shows nothing new.
    void setRecordTableManager(RecordTableManager* table);

protected:
    void resizeEvent(QResizeEvent* event) override;

private slots:
    void rebuild();
    void clear();
    void remove(int index);

private:
    void applyColumnWidths();

    QPointer<RecordTableManager> m_recordTable;
    QList<QToolButton*> m_removeButtons;
    QSignalMapper* m_signalMapper;
    QIcon m_removeIcon;
};
