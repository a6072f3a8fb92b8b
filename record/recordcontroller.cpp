#include "recordcontroller.h"

#include "telecast.h"

#include "recordcontrollerhost.h"

// Placeholder until the controller is written.
RecordController::RecordController(RecordControllerHost& host, QObject* parent)
    : QObject(parent), m_host(host), m_checkTimer(this)
{
}

void RecordController::record(const QString& fileName)
{
    if (!m_host.playerRecording())
        m_host.startRecording(fileName);
}

void RecordController::stop()
{
    m_host.stopRecording();
}

void RecordController::recordOnPlay() {}
void RecordController::clearCurrentTelecast() {}
void RecordController::recordingFailed() {}
void RecordController::checkOn() {}
void RecordController::checkOff() {}
void RecordController::recordTableChange() {}
