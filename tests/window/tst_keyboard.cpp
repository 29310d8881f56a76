// Enter and Space press the focused button, in the button row and in the
// search panel, as a pupil working from the keyboard expects.

#include "search/search_panel.h"
#include "window/frm_browser.h"
#include "window_controls.h"
#include "window_harness.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

using namespace ruzez;
using ruzez::test::ui;
using ruzez::test::WindowHarness;

namespace {

QAbstractButton *buttonNamed(frmBrowser &w, const QString &name)
{
    const QHash<QString, QAbstractButton *> buttons{
        {"avant", ui(w).avant},       {"suivant", ui(w).suivant},   {"stoppeur", ui(w).stoppeur},
        {"actu", ui(w).actu},         {"Maison", ui(w).Maison},     {"Command8", ui(w).Command8},
        {"Command3", ui(w).Command3}, {"Command5", ui(w).Command5}, {"Command2", ui(w).Command2},
        {"Command6", ui(w).Frame1->Command6},
    };
    return buttons.value(name);
}

// What the pupil sees once the button has been pressed.
bool pressed(WindowHarness &h, const QString &effect)
{
    frmBrowser &w = *h.window;
    if (effect.startsWith(QLatin1String("call ")))
        return h.browser->calls.contains(effect.mid(5));
    if (effect == QLatin1String("panel shown"))
        return ui(w).Frame1->isVisible();
    if (effect == QLatin1String("help shown"))
        return h.help.requests.size() == 1;
    if (effect == QLatin1String("closed"))
        return h.programEnded == 1;
    if (effect == QLatin1String("searched"))
        return ui(w).Frame1->Label4->text() == QStringLiteral("Aucune page trouvée");
    return false;
}

} // namespace

class TestKeyboard : public QObject
{
    Q_OBJECT

private slots:
    void keyPressesTheFocusedButton_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("effect");
        const QList<std::pair<const char *, const char *>> buttons{
            {"avant", "call GoBack()"},     {"suivant", "call GoForward()"},
            {"stoppeur", "call Stop()"},    {"actu", "call Refresh2()"},
            {"Maison", "call Stop()"},      {"Command8", "panel shown"},
            {"Command3", "call ExecWB(6,0)"}, {"Command5", "help shown"},
            {"Command2", "closed"},         {"Command6", "searched"},
        };
        const QList<std::pair<const char *, int>> keys{
            {"Enter", Qt::Key_Return}, {"keypad Enter", Qt::Key_Enter}, {"Space", Qt::Key_Space}};
        for (const auto &[button, effect] : buttons) {
            for (const auto &[keyName, key] : keys)
                QTest::addRow("%s, %s", button, keyName) << button << key << effect;
        }
    }
    void keyPressesTheFocusedButton()
    {
        QFETCH(QString, button);
        QFETCH(int, key);
        QFETCH(QString, effect);
        WindowHarness h;
        frmBrowser &w = *h.window;
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        if (button == QLatin1String("Command6")) {
            w.Command8_Click();
            ui(w).Frame1->Text2->setText(QStringLiteral("ozone"));
        }
        QAbstractButton *target = buttonNamed(w, button);
        target->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), target);
        h.browser->calls.clear();

        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
        QTRY_VERIFY2(pressed(h, effect), qPrintable(h.browser->calls.join(QLatin1Char(' '))));
    }
};

QTEST_MAIN(TestKeyboard)
#include "tst_keyboard.moc"
