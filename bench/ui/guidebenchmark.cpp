#include "channel.h"
#include "channelmanager.h"
#include "guidepage.h"
#include "playersession.h"
#include "serverclock.h"
#include "telecast.h"
#include "uibenchmarks.h"

#include <QAbstractTextDocumentLayout>
#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTextBlock>
#include <QTextBrowser>

#include <algorithm>
#include <functional>

namespace {

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

double milliseconds(const std::function<void()>& work)
{
    QElapsedTimer clock;
    clock.start();
    work();
    return clock.nsecsElapsed() / 1e6;
}

const char* verdict(double value, double goal)
{
    return value < goal ? "met" : "MISSED";
}

struct GuideTimes
{
    QList<double> format;    // the HTML alone
    QList<double> search;    // the window's search: find, HTML, into the browser, scroll
    QList<double> shown;     // the same and the first picture of the page
    QList<double> complete;  // the whole page in the browser
    bool samePage = false;   // the parts made the document the whole page makes
};

// The document's body: the browser's font and margins come before it.
QString body(const QTextDocument& document)
{
    const QString html = document.toHtml();
    return html.mid(html.indexOf("<body"));
}

// Runs the window's search for text as the user does, on the shown guide page.
GuideTimes timeSearch(PlayerSession& session, const QString& text, int rounds, qsizetype* hits)
{
    auto* line = session.child<QLineEdit>("searchProgram");
    auto* browser = session.child<QTextBrowser>("tvProgramWidget");
    auto* shownPage = session.window->findChild<GuidePage*>();
    line->setText(text);
    GuidePage page;
    page.search(*session.channels, text);
    *hits = page.result().size();
    GuideTimes times;
    for (int round = 0; round <= rounds; ++round) {
        const double format = milliseconds([&] { (void)page.html(ServerClock::serverLocalNow()); });
        browser->clear();
        QCoreApplication::processEvents();
        QElapsedTimer clock;
        clock.start();
        session.window->startProgramSearch();
        const double search = clock.nsecsElapsed() / 1e6;
        browser->viewport()->repaint();
        const double shown = clock.nsecsElapsed() / 1e6;
        while (shownPage->isRendering())
            QCoreApplication::processEvents();
        const double complete = clock.nsecsElapsed() / 1e6;
        if (round == 0)
            continue;  // fills the caches
        times.format.append(format);
        times.search.append(search);
        times.shown.append(shown);
        times.complete.append(complete);
    }
    QTextDocument whole;
    whole.setHtml(page.html(ServerClock::serverLocalNow()));
    times.samePage = body(whole) == body(*browser->document());
    return times;
}

void report(QTextStream& out, const QString& what, const GuideTimes& times, double goal)
{
    out << QString("%1\n  shown     %2 ms   goal < %3 ms  %4\n")
               .arg(what)
               .arg(median(times.shown), 8, 'f', 1)
               .arg(goal)
               .arg(verdict(median(times.shown), goal));
    out << QString(
               "  (HTML %1 ms; search, HTML, set and scroll %2 ms; the whole page in the "
               "browser after %3 ms, %4 the document of the page in one piece; medians of "
               "%5)\n")
               .arg(median(times.format), 0, 'f', 1)
               .arg(median(times.search), 0, 'f', 1)
               .arg(median(times.complete), 0, 'f', 1)
               .arg(times.samePage ? "the same as" : "NOT the same as")
               .arg(times.shown.size());
}

}  // namespace

bool UiBenchmarks::guide(QTextStream& out, int rounds)
{
    PlayerSession session;
    if (!session.start(EmulatorProcess::shippedScenario("large")) || !session.waitForLoad()) {
        out << "guide: the player did not log in to the emulator\n";
        return false;
    }
    Channel* channel = session.channels->channelAt(0);
    if (!channel || channel->telecasts().isEmpty()) {
        out << "guide: the large scenario has no guide\n";
        return false;
    }
    // Every round sees the same telecasts on air.
    const qint64 standStill = QDateTime::currentMSecsSinceEpoch();
    ServerClock::setLocalClock([standStill] { return standStill; });
    session.channels->setCurrentChannel(channel);
    session.window->showPage(PlayerActionHost::TvProgramPage);
    QCoreApplication::processEvents();
    if (!session.child<QTextBrowser>("tvProgramWidget")->isVisible()) {
        out << "guide: the guide page did not show\n";
        return false;
    }

    qsizetype hits = 0;
    const GuideTimes oneChannel =
        timeSearch(session, QString("ch:\"%1\"").arg(channel->name()), rounds, &hits);
    report(out, QString("guide page of one channel, %1 telecasts").arg(hits), oneChannel, 50);

    // A title that each channel of the large scenario repeats every 20 slots.
    const GuideTimes allChannels = timeSearch(session, QStringLiteral("Концерт"), rounds, &hits);
    report(out,
           QString("search over all %1 channels, %2 hits")
               .arg(session.channels->channelCount())
               .arg(hits),
           allChannels, 150);
    return true;
}
