#pragma once

#include <QWebEngineView>

// The portal's web view: the page shows no browser context menu, the event
// goes on to the window instead; the page's console messages go to the log.
// The view follows no link itself: every click on one is handed on as
// linkClicked(), for the window to decide.
class CustomWebView : public QWebEngineView
{
    Q_OBJECT
public:
    explicit CustomWebView(QWidget* parent = nullptr);

    // Sets up what Qt WebEngine needs before the application object exists.
    static void prepareApplication();
    // Chromium's sandbox refuses to run as root: for root it is switched off
    // before the engine starts. True when the sandbox is off.
    static bool disableSandboxForRoot();

signals:
    void linkClicked(const QUrl& url);

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
};
