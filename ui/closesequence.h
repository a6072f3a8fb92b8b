#pragma once

#include <QObject>
#include <QTimer>

// How the player ends. The window's geometry is stored first; then the player
// settings go to the server, the stream is closed once the server confirms
// them, and the player quits closeDelayMs after the request whatever the
// server does.
class CloseSequence : public QObject
{
    Q_OBJECT
public:
    static constexpr int closeDelayMs = 500;

    // What a request to end comes to.
    enum class Step {
        Accept,      // the player is quitting: the window may close
        HideToTray,  // store the geometry, then hide
        Quit,        // store the geometry, then start()
    };
    Q_ENUM(Step)

    explicit CloseSequence(QObject* parent = nullptr);

    // windowClosed: the window's own close, which close-to-tray turns into
    // hiding; the tray's Quit and the system's termination request are not.
    // closeToTray: the setting is on and a tray host shows the icon.
    Step stepFor(bool windowClosed, bool closeToTray) const;
    // The delay has run out.
    bool isQuitting() const;

    // Runs the sequence; false when it runs already. closeStream: a stream is
    // open that the server is to close once the settings are saved.
    bool start(bool closeStream);

public slots:
    // The server confirmed the settings.
    void settingsSaved();

signals:
    void sendSettings();
    void closeStream();
    void quit();

private:
    void finish();

    QTimer m_delay;
    bool m_started = false;
    bool m_streamToClose = false;
    bool m_quitting = false;
};
