#include "customwebview.h"
#include "keyrouter.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTest>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace {

// Stands for the web engine's own view of the page, which takes every key.
class PageView : public QWidget
{
public:
    using QWidget::QWidget;

protected:
    void keyPressEvent(QKeyEvent* event) override { event->accept(); }
};

}  // namespace

// Who acts on a key: the window's rules or the focused widget, for each kind
// of widget a click can leave the focus on.
class TestKeyRouter : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void keyGoesToWindowOrWidget_data();
    void keyGoesToWindowOrWidget();
    void keysOfOtherWindowsAreLeftAlone();

private:
    QWidget m_window;
    QWidget m_otherWindow;
    QLineEdit* m_otherLine = new QLineEdit(&m_otherWindow);
    QStringList m_acted;  // keys the window's rules acted on
};

void TestKeyRouter::initTestCase()
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
    const QList<std::pair<const char*, QWidget*>> widgets = {
        {"list", list},
        {"line", new QLineEdit},
        {"readOnlyLine", readOnly},
        {"text", new QPlainTextEdit},
        {"browser", new QTextBrowser},
        {"spin", new QSpinBox},
        {"combo", combo},
        {"page", page->parentWidget()},
    };
    for (const auto& [name, widget] : widgets) {
        widget->setObjectName(QString::fromLatin1(name));
        layout->addWidget(widget);
    }
    page->setObjectName(QStringLiteral("pageInput"));
    // The window's rules: Page Down, Q, 2 and Space.
    new KeyRouter(&m_window, [this](const QKeyEvent* event) {
        const bool rule =
            QList<int>{Qt::Key_PageDown, Qt::Key_Q, Qt::Key_2, Qt::Key_Space}.contains(
                event->key());
        if (rule)
            m_acted << QKeySequence(event->key()).toString();
        return rule;
    });
    m_window.show();
    m_otherWindow.show();
}

void TestKeyRouter::keyGoesToWindowOrWidget_data()
{
    QTest::addColumn<QString>("focus");
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("window");

    QTest::newRow("list: Page Down") << "list" << int(Qt::Key_PageDown) << true;
    QTest::newRow("list: Q, no keyboard search") << "list" << int(Qt::Key_Q) << true;
    QTest::newRow("list: digit") << "list" << int(Qt::Key_2) << true;
    QTest::newRow("list: no rule, the list moves") << "list" << int(Qt::Key_End) << false;
    QTest::newRow("line: types Q") << "line" << int(Qt::Key_Q) << false;
    QTest::newRow("line: types Space") << "line" << int(Qt::Key_Space) << false;
    QTest::newRow("line: leaves Page Down") << "line" << int(Qt::Key_PageDown) << true;
    QTest::newRow("read-only line: Q") << "readOnlyLine" << int(Qt::Key_Q) << true;
    QTest::newRow("text: types Q") << "text" << int(Qt::Key_Q) << false;
    QTest::newRow("guide browser: Page Down") << "browser" << int(Qt::Key_PageDown) << true;
    QTest::newRow("spin box: types 2") << "spin" << int(Qt::Key_2) << false;
    QTest::newRow("combo box: types Q") << "combo" << int(Qt::Key_Q) << false;
    QTest::newRow("web page: types Q") << "pageInput" << int(Qt::Key_Q) << false;
}

void TestKeyRouter::keyGoesToWindowOrWidget()
{
    QFETCH(QString, focus);
    QFETCH(int, key);
    QFETCH(bool, window);
    auto* widget = m_window.findChild<QWidget*>(focus);
    QVERIFY(widget);
    m_window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&m_window));
    // A click leaves the focus there; the platform then sends keys to it.
    widget->setFocus(Qt::MouseFocusReason);
    QCOMPARE(QApplication::focusWidget(), widget);
    m_acted.clear();
    QTest::keyClick(widget, Qt::Key(key));
    QCOMPARE(m_acted.size(), window ? 1 : 0);
}

void TestKeyRouter::keysOfOtherWindowsAreLeftAlone()
{
    m_otherWindow.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&m_otherWindow));
    m_otherLine->setFocus();
    m_acted.clear();
    QTest::keyClick(m_otherLine, Qt::Key_PageDown);
    QTest::keyClick(&m_otherWindow, Qt::Key_Q);
    QVERIFY(m_acted.isEmpty());
}

int main(int argc, char* argv[])
{
    CustomWebView::prepareApplication();
    QApplication application(argc, argv);
    TestKeyRouter test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_keyrouter.moc"
