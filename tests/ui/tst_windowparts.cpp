#include "closesequence.h"
#include "customwebview.h"
#include "fullscreenoverlays.h"
#include "keyrouter.h"
#include "keyrules.h"
#include "remotedigitentry.h"
#include "tablerows.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMetaEnum>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace {

// A chord in QKeySequence's portable text: "Ctrl+S", "Media Play", "Num+5".
KeyChord chordOf(const QString& text)
{
    const QKeyCombination key = QKeySequence::fromString(text)[0];
    return KeyChord(key.key() == Qt::Key_unknown ? 0 : key.key(), key.keyboardModifiers());
}

// Words of a context: its mode (iptv, portal, other) and what holds:
// "playing", "guide", "browser", "timeshift", "fullscreen".
KeyContext contextOf(const QString& text)
{
    const QStringList words = text.split(' ');
    KeyContext context;
    context.mode = words.contains("portal")  ? KeyContext::Mode::Portal
                   : words.contains("other") ? KeyContext::Mode::Other
                                             : KeyContext::Mode::Iptv;
    context.playerIdle = !words.contains("playing");
    context.guideShown = words.contains("guide");
    context.browserShown = words.contains("browser");
    context.canTimeShift = words.contains("timeshift");
    context.fullscreen = words.contains("fullscreen");
    return context;
}

// Stands for the web engine's own view of the page, which takes every key.
class PageView : public QWidget
{
public:
    using QWidget::QWidget;

protected:
    void keyPressEvent(QKeyEvent* event) override { event->accept(); }
};

}  // namespace

// The main window's parts: the key table, the repeat filter in front of it,
// the router that lets the window or the focused widget act on a key, the
// remote control's digit entry and the close sequence. Clocks are the test's.
class TestWindowParts : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void keyAsksForActions_data() { addTableRows(QFINDTESTDATA("../data/ui/key-rules.txt")); }
    void keyAsksForActions();
    void keyPressedAgainWithin100msIsDropped_data()
    {
        addTableRows(QFINDTESTDATA("../data/ui/key-repeats.txt"));
    }
    void keyPressedAgainWithin100msIsDropped();
    void keyGoesToWindowOrWidget_data()
    {
        addTableRows(QFINDTESTDATA("../data/ui/key-routing.txt"));
    }
    void keyGoesToWindowOrWidget();
    void numberIsTakenOnTheFirstBeatAfterAPause_data()
    {
        addTableRows(QFINDTESTDATA("../data/ui/digit-entry.txt"));
    }
    void numberIsTakenOnTheFirstBeatAfterAPause();
    void requestsComeToOneStep_data() { addTableRows(QFINDTESTDATA("../data/ui/close-steps.txt")); }
    void requestsComeToOneStep();
    void streamIsClosedOnlyOnceTheServerConfirms_data()
    {
        addTableRows(QFINDTESTDATA("../data/ui/close-sequence.txt"));
    }
    void streamIsClosedOnlyOnceTheServerConfirms();
    void pointerAtAnEdgeShowsItsOverlay_data()
    {
        addTableRows(QFINDTESTDATA("../data/ui/overlay-edges.txt"));
    }
    void pointerAtAnEdgeShowsItsOverlay();

private:
    QWidget m_window;
    QWidget m_otherWindow;
    int m_acted = 0;  // keys the window's rules acted on
};

void TestWindowParts::keyAsksForActions()
{
    QFETCH(QString, context);
    QFETCH(QString, key);
    QFETCH(QString, actions);
    const KeyChord chord = chordOf(key);
    QVERIFY2(chord.key != 0, qPrintable(key));
    QStringList names;
    for (KeyRules::Action action : KeyRules::actionsFor(chord, contextOf(context)))
        names << QMetaEnum::fromType<KeyRules::Action>().valueToKey(int(action));
    QCOMPARE(names.join(' '), actions);
}

void TestWindowParts::keyPressedAgainWithin100msIsDropped()
{
    QFETCH(QString, script);
    QFETCH(QString, accepted);
    qint64 now = 5000;
    KeyRepeatFilter filter([&now] { return now; });
    QString seen;
    for (const QString& step : script.split(' ')) {
        const QStringList parts = step.split(':');
        now = 5000 + parts.at(0).toLongLong();
        seen += filter.accept(chordOf(parts.at(1))) ? '1' : '0';
    }
    QCOMPARE(seen, accepted);
}

void TestWindowParts::initTestCase()
{
    auto* layout = new QVBoxLayout(&m_window);
    auto* list = new QListWidget;
    list->addItems({"alpha", "quebec", "2"});
    auto* readOnly = new QLineEdit;
    readOnly->setReadOnly(true);
    auto* combo = new QComboBox;
    combo->setEditable(true);
    auto* page = new PageView(new CustomWebView);
    page->setFocusPolicy(Qt::StrongFocus);
    page->setObjectName("pageInput");
    const QStringList names = QString("list line readOnlyLine text browser spin combo").split(' ');
    const QList<QWidget*> widgets{
        list,  new QLineEdit,       readOnly, new QPlainTextEdit, new QTextBrowser, new QSpinBox,
        combo, page->parentWidget()};
    for (QWidget* widget : widgets) {
        widget->setObjectName(names.value(layout->count()));
        layout->addWidget(widget);
    }
    (new QLineEdit(&m_otherWindow))->setObjectName("otherWindowLine");
    // The window's rules here: Page Down, Q, 2 and Space.
    new KeyRouter(&m_window, [this](const QKeyEvent* event) {
        const bool rule =
            QList<int>{Qt::Key_PageDown, Qt::Key_Q, Qt::Key_2, Qt::Key_Space}.contains(
                event->key());
        m_acted += rule;
        return rule;
    });
    m_window.show();
    m_otherWindow.show();
}

void TestWindowParts::keyGoesToWindowOrWidget()
{
    QFETCH(QString, focus);
    QFETCH(QString, key);
    QFETCH(QString, window);
    QWidget* widget = m_window.findChild<QWidget*>(focus);
    widget = widget ? widget : m_otherWindow.findChild<QWidget*>(focus);
    QVERIFY(widget);
    widget->window()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(widget->window()));
    // A click leaves the focus there; the platform then sends keys to it.
    widget->setFocus(Qt::MouseFocusReason);
    QCOMPARE(QApplication::focusWidget(), widget);
    m_acted = 0;
    QTest::keyClick(widget, Qt::Key(chordOf(key).key));
    QCOMPARE(m_acted, window == "yes" ? 1 : 0);
}

void TestWindowParts::numberIsTakenOnTheFirstBeatAfterAPause()
{
    QFETCH(QString, script);
    QFETCH(QString, shown);
    QFETCH(QString, taken);
    qint64 now = 0;
    RemoteDigitEntry entry(nullptr, [&now] { return now; });
    QStringList texts;
    QStringList numbers;
    connect(&entry, &RemoteDigitEntry::textChanged, this,
            [&](const QString& text) { texts << (text.isEmpty() ? QStringLiteral("-") : text); });
    connect(&entry, &RemoteDigitEntry::channelChosen, this,
            [&](int number) { numbers << QStringLiteral("%1@%2").arg(number).arg(now); });

    for (const QString& step : script.split(' ')) {
        const QStringList parts = step.split(':');
        now = parts.at(0).toLongLong();
        const QChar input = parts.at(1).at(0);
        if (input == '.')
            entry.beat();
        else if (input == '<')
            entry.backspace();
        else
            entry.append(input.digitValue());
    }
    QCOMPARE(texts.join(' '), shown);
    QCOMPARE(numbers.join(' '), taken);
    QCOMPARE(entry.text(), texts.isEmpty() || texts.last() == "-" ? QString() : texts.last());
}

void TestWindowParts::requestsComeToOneStep()
{
    QFETCH(QString, quitting);
    QFETCH(QString, windowClosed);
    QFETCH(QString, closeToTray);
    QFETCH(QString, step);
    CloseSequence sequence;
    if (quitting == "yes") {
        QSignalSpy quit(&sequence, &CloseSequence::quit);
        QVERIFY(sequence.start(false));
        QVERIFY(quit.wait());
    }
    QCOMPARE(sequence.isQuitting(), quitting == "yes");
    const CloseSequence::Step taken = sequence.stepFor(windowClosed == "yes", closeToTray == "yes");
    QCOMPARE(QMetaEnum::fromType<CloseSequence::Step>().valueToKey(int(taken)), step);
}

void TestWindowParts::streamIsClosedOnlyOnceTheServerConfirms()
{
    QFETCH(QString, streamOpen);
    QFETCH(QString, confirmed);
    QFETCH(QString, events);
    CloseSequence sequence;
    QStringList seen;
    connect(&sequence, &CloseSequence::sendSettings, this, [&] { seen << "send"; });
    connect(&sequence, &CloseSequence::closeStream, this, [&] { seen << "close stream"; });
    connect(&sequence, &CloseSequence::quit, this, [&] { seen << "quit"; });
    QSignalSpy quit(&sequence, &CloseSequence::quit);
    QElapsedTimer sinceRequest;
    sinceRequest.start();

    sequence.settingsSaved();  // an earlier save is no confirmation
    QVERIFY(sequence.start(streamOpen == "yes"));
    QVERIFY(!sequence.start(streamOpen == "yes"));
    if (confirmed == "yes") {
        sequence.settingsSaved();
        sequence.settingsSaved();
    }
    QVERIFY(quit.wait());
    QVERIFY(sinceRequest.elapsed() >= CloseSequence::closeDelayMs);
    QCOMPARE(seen.join(", "), events);
}

void TestWindowParts::pointerAtAnEdgeShowsItsOverlay()
{
    QFETCH(QString, pointer);
    QFETCH(QString, showing);
    QFETCH(QString, shown);
    const QStringList xy = pointer.split(' ');
    const QStringList words = showing.split(' ', Qt::SkipEmptyParts);
    const QRect video(0, 0, 1280, 800);
    // Where the list and the bottom overlay lie while they show.
    const QRect list = words.contains("list") ? QRect(1000, 0, 280, 800) : QRect();
    const QRect bottom = words.contains("bottom") ? QRect(0, 680, 1280, 120) : QRect();
    const auto content = words.contains("film") ? FullscreenOverlays::Content::Film
                                                : FullscreenOverlays::Content::Television;
    const FullscreenOverlays::EdgeRule rule =
        FullscreenOverlays::atPointer(QPoint(xy.value(0).toInt(), xy.value(1).toInt()), video,
                                      content, words.contains("portal"), list, bottom);
    QStringList asked;
    if (rule.channelList)
        asked << "list";
    if (rule.bottom)
        asked << "bottom";
    QCOMPARE(asked.join(' '), shown);
}

int main(int argc, char* argv[])
{
    CustomWebView::prepareApplication();
    QApplication application(argc, argv);
    TestWindowParts test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_windowparts.moc"
