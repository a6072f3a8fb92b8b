// The programme guide page: search, the telecasts as HTML and their record
// links.
#include "channelmanager.h"
#include "guidepage.h"
#include "mainwindow.h"
#include "recordtablemanager.h"
#include "serverclock.h"

#include <QScrollBar>

void MainWindow::setupGuide()
{
    m_guidePage = new GuidePage(this);
    // Record links are handled here; the browser must not try to open them.
    m_ui.tvProgramWidget->setOpenLinks(false);
    m_ui.startSearch->setEnabled(false);
    connect(m_ui.searchProgram, &QLineEdit::textChanged, this, &MainWindow::checkSearchText);
    connect(m_ui.searchProgram, &QLineEdit::returnPressed, this, &MainWindow::startProgramSearch);
    connect(m_ui.startSearch, &QAbstractButton::clicked, this, &MainWindow::startProgramSearch);
    connect(m_ui.tvProgramWidget, &QTextBrowser::anchorClicked, this,
            &MainWindow::toggleTelecastRecording);
    connect(RecordTableManager::instance(), &RecordTableManager::changed, this,
            &MainWindow::reformatTvProgram);
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
    m_ui.tvProgramWidget->setHtml(m_guidePage->html(ServerClock::serverLocalNow()));
    scrollGuideToCurrentTelecast();
}

void MainWindow::reformatTvProgram()
{
    if (m_guidePage->isToggling() || m_mode != IptvMode || !m_channelManager ||
        !m_channelManager->currentChannel())
        return;
    m_ui.tvProgramWidget->setHtml(m_guidePage->html(ServerClock::serverLocalNow()));
    scrollGuideToCurrentTelecast();
}

void MainWindow::toggleTelecastRecording(const QUrl& link)
{
    if (!m_channelManager || !m_channelManager->currentChannel() || !m_guidePage->toggle(link))
        return;
    QScrollBar* bar = m_ui.tvProgramWidget->verticalScrollBar();
    const int position = bar->value();
    m_ui.tvProgramWidget->setHtml(m_guidePage->html(ServerClock::serverLocalNow()));
    bar->setValue(position);
}
