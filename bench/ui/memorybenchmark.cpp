#include "mediaplayer.h"
#include "playersession.h"
#include "residentmemory.h"
#include "uibenchmarks.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <QTest>

#include <algorithm>

namespace {

constexpr int waitTimeout = 30000;
constexpr int settleMs = 3000;  // decoders and caches reach their working size

void report(QTextStream& out, const QString& stage, const QList<ResidentMemory::Process>& tree)
{
    using ResidentMemory::Process;
    out << QString("memory    %1: RSS %2 MiB, PSS %3 MiB\n")
               .arg(stage, -34)
               .arg(ResidentMemory::total(tree, &Process::rssKib) / 1024.0, 0, 'f', 1)
               .arg(ResidentMemory::total(tree, &Process::pssKib) / 1024.0, 0, 'f', 1);
    for (const Process& process : tree) {
        out << QString("            %1 (%2): RSS %3 MiB, PSS %4 MiB\n")
                   .arg(process.name, -18)
                   .arg(process.pid)
                   .arg(process.rssKib / 1024.0, 0, 'f', 1)
                   .arg(process.pssKib / 1024.0, 0, 'f', 1);
    }
}

QList<ResidentMemory::Process> playerTree(const PlayerSession& session)
{
    QTest::qWait(settleMs);
    return ResidentMemory::tree(QCoreApplication::applicationPid(), {session.emulator->pid()});
}

}  // namespace

bool UiBenchmarks::memory(QTextStream& out)
{
    PlayerSession session;
    // The demo's first channel is open.
    if (!session.start(EmulatorProcess::shippedScenario("demo")) || !session.waitForLoad() ||
        !session.playChannel(0, waitTimeout)) {
        out << "memory: the player did not play the demo's first channel\n";
        return false;
    }
    report(out, "playing, before the portal", playerTree(session));

    QSignalSpy pages(session.window.get(), &MainWindow::portalPageRead);
    session.window->setMediaPortalMode();
    // Entering the portal reads the page at once, before it has loaded.
    const auto loaded = [&] {
        return std::any_of(pages.cbegin(), pages.cend(), [](const QList<QVariant>& read) {
            return read.first().toString().contains("href=");
        });
    };
    if (!QTest::qWaitFor(loaded, waitTimeout)) {
        out << "memory: the portal page did not load\n";
        return false;
    }
    QSignalSpy video(session.window.get(), &MainWindow::switchedToVideo);
    session.window->setIptvMode();
    if (!video.wait(waitTimeout)) {
        out << "memory: the channel did not play again after the portal\n";
        return false;
    }
    report(out, "playing, portal page loaded once", playerTree(session));
    return true;
}
