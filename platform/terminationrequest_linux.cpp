#include "terminationrequest.h"

#include <QSocketNotifier>

#include <sys/socket.h>
#include <unistd.h>
#include <csignal>

namespace {

// The signal handler may only write to a descriptor; the notifier reads the
// other end on the GUI thread.
int signalPipe[2] = {-1, -1};
volatile std::sig_atomic_t signalReceived = 0;

void onSignal(int)
{
    signalReceived = 1;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[0], &byte, 1);
}

constexpr int handledSignals[] = {SIGTERM, SIGINT, SIGHUP};

}  // namespace

TerminationRequest::TerminationRequest(QObject* parent) : QObject(parent)
{
    if (signalPipe[0] < 0 && ::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0)
        return;
    auto* notifier = new QSocketNotifier(signalPipe[1], QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, [this] {
        char byte;
        if (::read(signalPipe[1], &byte, 1) > 0)
            emit requested();
    });
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signalNumber : handledSignals)
        ::sigaction(signalNumber, &action, nullptr);
}

TerminationRequest::~TerminationRequest()
{
    for (int signalNumber : handledSignals)
        ::signal(signalNumber, SIG_DFL);
}

bool TerminationRequest::received() const
{
    return signalReceived != 0;
}
