#include "scheduledrecordlistwidget.h"

#include "channel.h"
#include "recordtablefile.h"
#include "recordtablemanager.h"
#include "telecast.h"

#include <QHeaderView>
#include <QSignalMapper>
#include <QToolButton>

namespace {
constexpr int kColumns = 4;
constexpr int kButtonColumn = 3;
}  // namespace

ScheduledRecordListWidget::ScheduledRecordListWidget(QWidget* parent)
    : QTableWidget(parent),
      m_signalMapper(new QSignalMapper(this)),
      m_removeIcon(":/images/remove.png")
{
    setColumnCount(kColumns);
    horizontalHeader()->setStretchLastSection(true);
    verticalHeader()->hide();
    setShowGrid(false);
    setAlternatingRowColors(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    connect(m_signalMapper, &QSignalMapper::mappedInt, this, &ScheduledRecordListWidget::remove);
}

void ScheduledRecordListWidget::setRecordTableManager(RecordTableManager* table)
{
    if (m_recordTable)
        disconnect(m_recordTable, nullptr, this, nullptr);
    m_recordTable = table;
    if (!m_recordTable)
        return;
    connect(m_recordTable, &RecordTableManager::changed, this, &ScheduledRecordListWidget::rebuild);
    rebuild();
}

void ScheduledRecordListWidget::rebuild()
{
    if (!m_recordTable)
        return;
    clear();
    setRowCount(m_recordTable->count());
    setHorizontalHeaderLabels({tr("Channel"), tr("Telecast"), tr("Start Date"), QString()});
    for (int row = 0; row < rowCount(); ++row) {
        const Telecast* telecast = m_recordTable->at(row);
        if (!telecast)
            continue;
        const Channel* channel = telecast->channel();
        auto* channelItem = new QTableWidgetItem(channel ? channel->name() : tr("<Unknown>"));
        if (channel)
            channelItem->setIcon(QIcon(channel->icon()));
        setItem(row, 0, channelItem);
        setItem(row, 1,
                new QTableWidgetItem(telecast->title().isEmpty() ? tr("<Unknown>")
                                                                 : telecast->title()));
        setItem(row, 2, new QTableWidgetItem(RecordTableFile::formatStart(telecast->start())));

        auto* button = new QToolButton;
        button->setIcon(m_removeIcon);
        button->setToolTip(tr("Cancel telecast recording"));
        connect(button, &QToolButton::clicked, m_signalMapper, qOverload<>(&QSignalMapper::map));
        m_signalMapper->setMapping(button, row);
        setCellWidget(row, kButtonColumn, button);
        m_removeButtons.append(button);
    }
    applyColumnWidths();
}

void ScheduledRecordListWidget::clear()
{
    QTableWidget::clear();
    // The view deletes a cell's widget once it is taken out, after the click
    // that may have brought us here has returned.
    for (int row = 0; row < rowCount(); ++row)
        removeCellWidget(row, kButtonColumn);
    m_removeButtons.clear();
}

void ScheduledRecordListWidget::remove(int index)
{
    if (!m_recordTable) {
        qDebug("[%s] !!! trying to call without recordTableManager specified !!! ",
               "ScheduledRecordListWidget::remove");
        return;
    }
    Telecast* telecast = m_recordTable->at(index);
    if (!telecast) {
        qDebug("[%s] cannot obtain telecast by index %d", "ScheduledRecordListWidget::remove",
               index);
        return;
    }
    telecast->setRecordScheduled(false);
    m_recordTable->remove(telecast);
}

void ScheduledRecordListWidget::resizeEvent(QResizeEvent* event)
{
    QTableWidget::resizeEvent(event);
    applyColumnWidths();
}

void ScheduledRecordListWidget::applyColumnWidths()
{
    const int width = this->width() - 35;
    setColumnWidth(0, width / 4);
    setColumnWidth(1, width / 2);
    setColumnWidth(2, width / 4);
    setColumnWidth(kButtonColumn, 30);
}
