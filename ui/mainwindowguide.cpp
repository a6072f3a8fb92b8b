// The programme guide page: search, the telecasts as HTML and their record
// links.
#include "channelmanager.h"
#include "guidepage.h"
#include "mainwindow.h"
#include "recordtablemanager.h"
#include "serverclock.h"

#include <QScrollBar>
#include <QTextCursor>

namespace {

// Shows the guide page's result as of now; a long page fills up from the
// event loop.
void showResult(QTextBrowser* browser, GuidePage* page)
{
    page->setScrollToRestore(-1);
    browser->setHtml(page->render(ServerClock::serverLocalNow()));
}

void appendPart(QTextBrowser* browser, const QString& html)
{
    QTextCursor cursor(browser->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertBlock();
    cursor.insertHtml(html);
}

}  // namespace

void MainWindow::setupGuide()
{
    m_guidePage = new GuidePage(this);
    QTextBrowser* browser = m_ui.tvProgramWidget;
    // Record links are handled here; the browser must not try to open them.
    browser->setOpenLinks(false);
    browser->document()->setUndoRedoEnabled(false);
    m_ui.startSearch->setEnabled(false);
    connect(m_ui.searchProgram, &QLineEdit::textChanged, this, &MainWindow::checkSearchText);
    connect(m_ui.searchProgram, &QLineEdit::returnPressed, this, &MainWindow::startProgramSearch);
    connect(m_ui.startSearch, &QAbstractButton::clicked, this, &MainWindow::startProgramSearch);
    connect(browser, &QTextBrowser::anchorClicked, this, &MainWindow::toggleTelecastRecording);
    connect(RecordTableManager::instance(), &RecordTableManager::changed, this,
            &MainWindow::reformatTvProgram);
    connect(m_guidePage, &GuidePage::moreHtml, browser,
            [browser](const QString& html) { appendPart(browser, html); });
    // A long page is laid out a piece at a time: the position kept over a
    // record link's click comes back when the page reaches it, unless the
    // user has scrolled meanwhile.
    QScrollBar* bar = browser->verticalScrollBar();
    connect(bar, &QScrollBar::rangeChanged, this, [this, bar](int, int maximum) {
        const int position = m_guidePage->scrollToRestore();
        if (position >= 0 && position <= maximum) {
            m_guidePage->setScrollToRestore(-1);
            bar->setValue(position);
        }
    });
    connect(bar, &QScrollBar::actionTriggered, m_guidePage,
            [this] { m_guidePage->setScrollToRestore(-1); });
}

void MainWindow::checkSearchText(const QString& text)
{
    m_ui.startSearch->setEnabled(text.size() >= 3);
}

void MainWindow::startProgramSearch()
{
    const QString text = m_ui.searchProgram->text();
    if (m_mode != IptvMode || !m_channelManager || !m_channelManager->currentChannel() ||
        text.size() <= 2)
        return;
    m_guidePage->search(*m_channelManager, text);
    showResult(m_ui.tvProgramWidget, m_guidePage);
    scrollGuideToCurrentTelecast();
}

void MainWindow::reformatTvProgram()
{
    if (m_guidePage->isToggling() || m_mode != IptvMode || !m_channelManager ||
        !m_channelManager->currentChannel())
        return;
    showResult(m_ui.tvProgramWidget, m_guidePage);
    scrollGuideToCurrentTelecast();
}

void MainWindow::toggleTelecastRecording(const QUrl& link)
{
    if (!m_channelManager || !m_channelManager->currentChannel() || !m_guidePage->toggle(link))
        return;
    QScrollBar* bar = m_ui.tvProgramWidget->verticalScrollBar();
    const int position = bar->value();
    showResult(m_ui.tvProgramWidget, m_guidePage);
    bar->setValue(position);
    if (bar->value() != position)
        m_guidePage->setScrollToRestore(position);
}
