#include "playersession.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QTest>

#include <sys/prctl.h>

#include <algorithm>
#include <csignal>

namespace {

const QString kMainWindowTitle = QStringLiteral("^Zentria Media Player [0-9.]+$");
// The channel list fills the window's right-hand pane; its rows are 48 px high
// with the default fonts (as measured on a screenshot of the real window).
const int kRowHeight = 48;
const int kListInset = 120;  // from the window's right edge into the row's text

QProcessEnvironment environmentFor(const QString& display)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DISPLAY", display);
    environment.remove("QT_QPA_PLATFORM");  // the player draws on the X server
    return environment;
}

void endProcess(QProcess* process)
{
    if (process->state() == QProcess::NotRunning)
        return;
    process->terminate();
    if (!process->waitForFinished(10000)) {
        process->kill();
        process->waitForFinished(5000);
    }
}

QList<int> numbersIn(const QString& text)
{
    QList<int> numbers;
    for (const QString& word : text.split(' ', Qt::SkipEmptyParts))
        numbers.append(word.toInt());
    return numbers;
}

}  // namespace

PlayerSession::PlayerSession()
{
    for (QProcess* process : {&m_xserver, &m_windowManager, &m_tray})
        process->setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGKILL); });
}

PlayerSession::~PlayerSession()
{
    reportOnFailure();
    endPlayer();
    m_emulator.stop();
    for (QProcess* process : {&m_tray, &m_windowManager, &m_xserver})
        endProcess(process);
}

bool PlayerSession::startDesktop()
{
    // -displayfd 1: the server picks a free display and prints its number.
    // -noreset: without it the server resets whenever its last client leaves
    // (a probe here), and refuses the next client meanwhile.
    m_xserver.start(
        "Xvfb", {"-displayfd", "1", "-noreset", "-screen", "0", "1280x800x24", "-nolisten", "tcp"});
    const bool listening = QTest::qWaitFor(
        [this] {
            m_display += QString::fromLatin1(m_xserver.readAllStandardOutput());
            return m_display.endsWith('\n') || m_xserver.state() == QProcess::NotRunning;
        },
        20000);
    if (!listening || !m_display.endsWith('\n')) {
        qWarning("Xvfb did not start: %s", m_xserver.readAllStandardError().constData());
        return false;
    }
    m_display = ':' + m_display.trimmed();
    QByteArray root;
    const auto hasWindowManager = [&] {
        return run("xprop", {"-root", "_NET_SUPPORTING_WM_CHECK"}, &root) &&
               root.contains("window id");
    };
    const auto ended = [this] { return m_windowManager.state() == QProcess::NotRunning; };
    if (startHelper(&m_windowManager, "openbox", {"--sm-disable"}))
        static_cast<void>(QTest::qWaitFor([&] { return hasWindowManager() || ended(); }, 20000));
    if (!hasWindowManager()) {
        qWarning("openbox did not start on %s: %s", qPrintable(m_display),
                 m_windowManager.readAll().constData());
        return false;
    }
    const auto hasTray = [this] { return run("xdotool", {"search", "--class", "trayer"}); };
    if (!startHelper(&m_tray, "trayer", {"--edge", "bottom", "--align", "right"}) ||
        !QTest::qWaitFor(hasTray, 20000)) {
        qWarning("trayer did not start on %s: %s", qPrintable(m_display),
                 m_tray.readAll().constData());
        return false;
    }
    return true;
}

bool PlayerSession::startEmulator(const QString& scenario)
{
    return m_emulator.start(scenario);
}

bool PlayerSession::startPlayer(const QString& lastChannel, const QByteArray& extraSettings)
{
    endPlayer();
    m_profile = std::make_unique<QTemporaryDir>();
    writeSettings(lastChannel, extraSettings);
    return launchPlayer();
}

bool PlayerSession::restartPlayer()
{
    endPlayer();
    return launchPlayer();
}

// The desktop's browser: it notes what it is asked to open.
bool PlayerSession::installBrowser(const QString& folder)
{
    QFile browser(folder + "/xdg-open");
    return QDir().mkpath(folder) && browser.open(QIODevice::WriteOnly) &&
           browser.write("#!/bin/sh\necho \"$1\" >> \"$HOME/browser.log\"\n") > 0 &&
           browser.setPermissions(browser.permissions() | QFile::ExeOwner);
}

bool PlayerSession::launchPlayer()
{
    QProcessEnvironment environment = environmentFor(m_display);
    environment.insert("HOME", m_profile->path());
    environment.insert("XDG_DATA_HOME", m_profile->path() + "/data");
    const QString bin = m_profile->filePath("bin");
    if (!installBrowser(bin))
        return false;
    environment.insert("PATH", bin + ':' + environment.value("PATH"));
    m_player = std::make_unique<QProcess>();
    m_player->setProcessEnvironment(environment);
    m_player->setStandardOutputFile(m_profile->filePath("player.out"));
    m_player->setStandardErrorFile(m_profile->filePath("player.err"));
    m_player->setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGKILL); });
    m_player->start(m_playerProgram, {});
    return m_player->waitForStarted();
}

QString PlayerSession::dataFile(const QString& name)
{
    return QStringLiteral(ZENTRIA_E2E_DATA "/") + name;
}

QString PlayerSession::dataDirectory() const
{
    return m_profile->path() + "/data/Zentria Media Player";
}

QString PlayerSession::recordingsDirectory() const
{
    return m_profile->path() + "/recordings";
}

QByteArray PlayerSession::settingsIni() const
{
    QFile file(dataDirectory() + "/settings.ini");
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString PlayerSession::debugLog() const
{
    QFile file(dataDirectory() + "/debug.log");
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

QStringList PlayerSession::recordTable() const
{
    QFile file(dataDirectory() + "/record-table.txt");
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
}

bool PlayerSession::waitForLog(const QString& text, int timeoutMs) const
{
    return QTest::qWaitFor([&] { return debugLog().contains(text); }, timeoutMs);
}

QList<int> PlayerSession::openedChannels()
{
    static const QRegularExpression channelId("channel_id: (\\d+)");
    QString ids;
    for (const EmulatorRequest& request : m_emulator.requests("OpenStream"))
        ids += channelId.match(request.message).captured(1) + ' ';
    return numbersIn(ids);
}

bool PlayerSession::waitForOpenStream(int channelId, int timeoutMs)
{
    return QTest::qWaitFor(
        [&] {
            const QList<int> opened = openedChannels();
            return !opened.isEmpty() && opened.last() == channelId;
        },
        timeoutMs);
}

bool PlayerSession::waitForExit(int timeoutMs)
{
    return QTest::qWaitFor([this] { return m_player->state() == QProcess::NotRunning; }, timeoutMs);
}

void PlayerSession::sendSignal(int signal)
{
    ::kill(pid_t(m_player->processId()), signal);
}

qulonglong PlayerSession::mainWindow(int timeoutMs)
{
    QStringList found;
    const bool shown = QTest::qWaitFor(
        [&] { return !(found = windowsNamed(kMainWindowTitle)).isEmpty(); }, timeoutMs);
    return shown ? found.first().toULongLong() : 0;
}

QStringList PlayerSession::windowsNamed(const QString& pattern)
{
    // xdotool's own --name matching is byte-wise; titles are compared here.
    QByteArray output;
    xdotool(
        {"search", "--onlyvisible", "--pid", QString::number(m_player->processId()), "--name", "."},
        &output);
    const QRegularExpression title(pattern);
    QStringList matching;
    for (const QString& window : QString::fromLatin1(output).split('\n', Qt::SkipEmptyParts)) {
        if (title.match(windowNames({window}).value(0)).hasMatch())
            matching.append(window);
    }
    return matching;
}

QRect PlayerSession::windowGeometry(qulonglong window)
{
    // xwininfo: xdotool counts the window manager's frame twice.
    QByteArray info;
    if (!run("xwininfo", {"-id", QString::number(window)}, &info))
        return {};
    const auto value = [&](const char* name) {
        return QRegularExpression(QString("%1: +(-?\\d+)").arg(name))
            .match(info)
            .captured(1)
            .toInt();
    };
    return {value("Absolute upper-left X"), value("Absolute upper-left Y"), value("Width"),
            value("Height")};
}

QByteArray PlayerSession::grabScreen(const QRect& area)
{
    QByteArray pixels;
    const QString input = QString("%1+%2,%3").arg(m_display).arg(area.x()).arg(area.y());
    const QString size = QString("%1x%2").arg(area.width()).arg(area.height());
    run("ffmpeg",
        {"-loglevel", "error", "-f", "x11grab", "-video_size", size, "-i", input, "-frames:v", "1",
         "-f", "rawvideo", "-pix_fmt", "rgb24", "-"},
        &pixels);
    return pixels;
}

QPoint PlayerSession::findColour(const QRect& area, QRgb colour)
{
    const QByteArray screen = grabScreen(area);
    const auto matches = [&](int x, int y) {
        const qsizetype i = (qsizetype(y) * area.width() + x) * 3;
        return i + 2 < screen.size() &&
               qRgb(quint8(screen[i]), quint8(screen[i + 1]), quint8(screen[i + 2])) == colour;
    };
    constexpr int inset = 6;  // past the block's edge, before its text
    for (int y = 0; y + inset < area.height(); ++y) {
        for (int x = 0; x + inset < area.width(); ++x) {
            if (matches(x, y) && matches(x + inset, y + inset))
                return area.topLeft() + QPoint(x + inset, y + inset);
        }
    }
    return {};
}

QStringList PlayerSession::browserRequests() const
{
    QFile log(m_profile->filePath("browser.log"));
    if (!log.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(log.readAll()).split('\n', Qt::SkipEmptyParts);
}

QList<QPoint> PlayerSession::findImage(const QRect& area, const QString& image)
{
    const QByteArray screen = grabScreen(area);
    QImage original(ZENTRIA_UI_IMAGES "/" + image);
    if (original.isNull())
        original.load(ZENTRIA_OSD_IMAGES "/" + image);
    QList<QPoint> found;
    if (screen.size() != qsizetype(area.width()) * area.height() * 3 || original.isNull())
        return found;
    for (const int side : {original.width(), 16, 22, 24, 32}) {
        const QImage icon =
            original.scaled(side, side, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        // The pixels that show, by their offset on the screen from the corner;
        // the background is read at the middle of the left edge.
        QList<QPair<qsizetype, QRgb>> shown;
        for (int y = 0; y < side; ++y) {
            for (int x = 0; x < side; ++x) {
                if (qAlpha(icon.pixel(x, y)) >= 64)
                    shown.append({(qsizetype(y) * area.width() + x) * 3, icon.pixel(x, y)});
            }
        }
        const qsizetype clear = qsizetype(side / 2) * area.width() * 3;
        // Qt's scaling differs a little from this one: a few values may be off.
        const auto matchesAt = [&](const uchar* corner) {
            qsizetype wrong = 0;
            for (const auto& [offset, colour] : shown) {
                const int alpha = qAlpha(colour);
                const int parts[] = {qRed(colour), qGreen(colour), qBlue(colour)};
                for (int i = 0; i < 3; ++i) {
                    const int blended =
                        (parts[i] * alpha + corner[clear + i] * (255 - alpha)) / 255;
                    if (qAbs(corner[offset + i] - blended) > 32 && ++wrong > shown.size() / 10)
                        return false;
                }
            }
            return true;
        };
        const auto* pixels = reinterpret_cast<const uchar*>(screen.constData());
        for (int y = 0; y + side <= area.height(); ++y) {
            for (int x = 0; x + side <= area.width(); ++x) {
                const QPoint centre = area.topLeft() + QPoint(x + side / 2, y + side / 2);
                const bool known = std::any_of(found.cbegin(), found.cend(), [&](QPoint other) {
                    return (other - centre).manhattanLength() < side;
                });
                if (!known && matchesAt(pixels + (qsizetype(y) * area.width() + x) * 3))
                    found.append(centre);
            }
        }
        if (!found.isEmpty())
            break;
    }
    return found;
}

bool PlayerSession::saveScreen(const QRect& area, const QString& name)
{
    const QByteArray rgb = grabScreen(area);
    const QString folder = qEnvironmentVariable("ZENTRIA_ARTIFACT_DIR", QDir::tempPath());
    const QImage picture(reinterpret_cast<const uchar*>(rgb.constData()), area.width(),
                         area.height(), area.width() * 3, QImage::Format_RGB888);
    return rgb.size() == qsizetype(area.width()) * area.height() * 3 && QDir().mkpath(folder) &&
           picture.save(folder + '/' + name);
}

QStringList PlayerSession::windowNames(const QStringList& windows)
{
    QStringList names;
    for (const QString& window : windows) {
        QByteArray name;
        xdotool({"getwindowname", window}, &name);
        names.append(QString::fromUtf8(name).trimmed());
    }
    return names;
}

bool PlayerSession::xdotool(const QStringList& arguments, QByteArray* output)
{
    return run("xdotool", arguments, output);
}

bool PlayerSession::click(const QPoint& point, int times)
{
    return xdotool({"mousemove", QString::number(point.x()), QString::number(point.y()), "click",
                    "--repeat", QString::number(times), "--delay", "120", "1"});
}

bool PlayerSession::answerBox(const QString& title, const QStringList& keys)
{
    QStringList boxes;
    return QTest::qWaitFor([&] { return !(boxes = windowsNamed(title)).isEmpty(); }, 30000) &&
           xdotool({"windowactivate", "--sync", boxes.first()}) && pressKeys(keys);
}

bool PlayerSession::clickTitleBar()
{
    const QString window = QString::number(mainWindow());
    const int width = windowGeometry(window.toULongLong()).width();
    // Just above the client area lies the window manager's title bar.
    return xdotool(
        {"mousemove", "--window", window, QString::number(width / 2), "-8", "click", "1"});
}

bool PlayerSession::doubleClickChannelRow(int row)
{
    const QString window = QString::number(mainWindow());
    QByteArray children;
    if (!run("xwininfo", {"-children", "-id", window}, &children))
        return false;
    const int width = windowGeometry(window.toULongLong()).width();
    // The list's top is level with the video surface, the window's native child.
    const QRegularExpressionMatch video =
        QRegularExpression("\\d+x\\d+\\+-?\\d+\\+(-?\\d+)\\s+\\+").match(children);
    if (!video.hasMatch())
        return false;
    const int y = video.captured(1).toInt() + row * kRowHeight + kRowHeight / 2;
    return xdotool({"mousemove", "--window", window, QString::number(width - kListInset),
                    QString::number(y), "click", "--repeat", "2", "--delay", "120", "1"});
}

bool PlayerSession::pressKeys(const QStringList& keys)
{
    return xdotool(QStringList{"key", "--delay", "150"} + keys);
}

bool PlayerSession::run(const QString& program, const QStringList& arguments, QByteArray* output)
{
    QProcess process;
    process.setProcessEnvironment(environmentFor(m_display));
    process.start(program, arguments);
    if (!process.waitForFinished(20000))
        return false;
    if (output)
        *output = process.readAllStandardOutput();
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

bool PlayerSession::startHelper(QProcess* process, const QString& program,
                                const QStringList& arguments)
{
    process->setProcessEnvironment(environmentFor(m_display));
    process->setProcessChannelMode(QProcess::MergedChannels);
    process->start(program, arguments);
    return process->waitForStarted();
}

void PlayerSession::writeSettings(const QString& lastChannel, const QByteArray& extraSettings)
{
    QDir().mkpath(dataDirectory());
    QDir().mkpath(recordingsDirectory());
    QFile ini(dataDirectory() + "/settings.ini");
    if (!ini.open(QIODevice::WriteOnly))
        return;
    const QByteArray host = m_emulator.host().toUtf8();
    // A profile that has already seen this version's news, so no dialog waits.
    const QByteArray news = extraSettings.contains("version-info=") ? "" : "version-info=2.2.16\n";
    ini.write("[General]\nserver=" + host + "\nupdate-host=" + host +
              "\nlast-channel=" + lastChannel.toUtf8() + "\nscheduled-record-save-folder=" +
              m_profile->path().toUtf8() + "/recordings\n" + news + extraSettings);
}

void PlayerSession::reportOnFailure()
{
    if (!QTest::currentTestFailed() || !m_profile)
        return;
    // libVLC's lines and the progress bar's, once a second, would hide the rest.
    QStringList lines = debugLog().remove('\r').split('\n').filter(QRegularExpression(
        "^(?!.*(VLCLOG|vlc_callback|: \\.\\.\\. \\(|TimeShiftProgressBarWidget::paintEvent))"));
    qWarning("debug.log, without libVLC's and the progress bar's lines:\n%s",
             qPrintable(lines.mid(lines.size() - 40).join('\n')));
    QFile err(m_profile->filePath("player.err"));
    if (err.open(QIODevice::ReadOnly))
        qWarning("player stderr:\n%s", err.readAll().right(3000).constData());
}

void PlayerSession::endPlayer()
{
    if (m_player)
        endProcess(m_player.get());
}
