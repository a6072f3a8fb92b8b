#include "terminationrequest.h"

TerminationRequest::TerminationRequest(QObject* parent) : QObject(parent) {}

TerminationRequest::~TerminationRequest() = default;

bool TerminationRequest::received() const
{
    return false;
}
