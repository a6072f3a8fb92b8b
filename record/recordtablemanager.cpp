#include "recordtablemanager.h"

#include "channelmanager.h"
#include "telecast.h"

// Placeholder until the table is written.
RecordTableManager* RecordTableManager::instance()
{
    static auto* table = new RecordTableManager;
    return table;
}

RecordTableManager::RecordTableManager(QObject* parent) : QObject(parent) {}

void RecordTableManager::setChannelManager(ChannelManager* manager)
{
    m_channelManager = manager;
}

bool RecordTableManager::add(Telecast* telecast, bool)
{
    if (!telecast)
        return false;
    m_entries.append(telecast);
    emit changed();
    return true;
}

void RecordTableManager::remove(Telecast* telecast)
{
    if (m_entries.removeOne(telecast))
        emit changed();
}

Telecast* RecordTableManager::at(int index) const
{
    return m_entries.value(index);
}

Telecast* RecordTableManager::nextPending() const
{
    return nullptr;
}

QString RecordTableManager::filePath() const
{
    return {};
}

void RecordTableManager::setOverlapChooser(OverlapChooser chooser)
{
    m_chooseOverlap = std::move(chooser);
}

void RecordTableManager::clear()
{
    m_entries.clear();
}

void RecordTableManager::save() {}

void RecordTableManager::load() {}
