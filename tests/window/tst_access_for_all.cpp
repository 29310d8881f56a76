// The main window from the keyboard alone and as a screen reader lists it:
// real key events, names and roles read through QAccessible.

#include "search/close_picture.h"
#include "search/link_row_source.h"
#include "search/search_panel.h"
#include "window/frm_browser.h"
#include "window_controls.h"
#include "window_harness.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>
#include <QToolButton>

using namespace ruzez;
using ruzez::test::ui;
using ruzez::test::WindowHarness;

namespace {

const std::vector<LinkRow> kRows{
    {"1", "air/ozone.html", "Ozone", "L'ozone pollue l'air."},
    {"2", "air/cfc.html", "CFC", "Les CFC et l'ozone."},
};

QWidget *focused()
{
    return QApplication::focusWidget();
}

} // namespace

class TestAccessForAll : public QObject
{
    Q_OBJECT

    std::unique_ptr<WindowHarness> h;

    frmBrowser &window() { return *h->window; }
    SearchPanel &panel() { return *ui(window()).Frame1; }
    bool focusInPage() { return focused() == ui(window()).brwWebBrowser; }

private slots:
    void init()
    {
        h = std::make_unique<WindowHarness>();
        panel().setRowSource([] { return std::make_unique<LinkRowList>(kRows); });
        window().show();
        window().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window()));
    }
    void cleanup() { h.reset(); }

    void controlsAreNamedInFrench_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<int>("role");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("description");
        QTest::newRow("keyword box") << "Text2" << int(QAccessible::EditableText) << "Mots-clés"
                                     << "Saisir les mots en les séparant d'un espace, choisir une "
                                        "option et appuyer sur « Chercher ».";
        QTest::newRow("result list") << "List1" << int(QAccessible::List) << "Pages trouvées" << "";
        QTest::newRow("close picture") << "Image1" << int(QAccessible::Button)
                                       << "Fermer la recherche" << "Fermer";
        QTest::newRow("panel, a pane not a window") << "Frame1" << int(QAccessible::Pane) << "" << "";
        QTest::newRow("worksheet") << "Text1" << int(QAccessible::EditableText) << "Fiche d'activité"
                                   << "";
        QTest::newRow("button with its tooltip") << "avant" << int(QAccessible::Button) << "Précédent"
                                                 << "Page précédente";
    }
    void controlsAreNamedInFrench()
    {
        QFETCH(QString, control);
        QFETCH(int, role);
        const QHash<QString, QObject *> controls{
            {"Text2", panel().Text2}, {"List1", panel().List1},     {"Image1", panel().Image1},
            {"Frame1", &panel()},     {"Text1", ui(window()).Text1}, {"avant", ui(window()).avant}};
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(controls.value(control));
        QVERIFY(iface);
        QCOMPARE(int(iface->role()), role);
        QTEST(iface->text(QAccessible::Name), "name");
        QTEST(iface->text(QAccessible::Description), "description");
    }

    void decorativePictureIsLeftOut()
    {
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(&window());
        QList<QObject *> listed;
        for (int i = 0; i < iface->childCount(); ++i)
            listed << iface->child(i)->object();
        QVERIFY(!listed.contains(ui(window()).Image2));
        QVERIFY(listed.contains(ui(window()).Text1));
        QVERIFY(listed.contains(&panel()));
        QCOMPARE(iface->indexOfChild(iface->child(2)), 2);
    }

    void closePictureIsPressedLikeAButton()
    {
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(panel().Image1);
        QVERIFY(iface->actionInterface());
        window().Command8_Click();
        iface->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QVERIFY(panel().isHidden());
    }

    // Alt+R puts the pupil in the keyword box, open or not, loading or not;
    // Enter searches and leaves the pupil there; Tab reaches the results,
    // an arrow picks one and Enter opens it.
    void searchAndOpenAResultFromTheKeyboard_data()
    {
        QTest::addColumn<bool>("loading");
        QTest::addColumn<bool>("alreadyOpen");
        QTest::addColumn<int>("openKey");
        QTest::newRow("Enter") << false << false << int(Qt::Key_Return);
        QTest::newRow("keypad Enter, panel open") << false << true << int(Qt::Key_Enter);
        QTest::newRow("while a page loads") << true << false << int(Qt::Key_Return);
    }
    void searchAndOpenAResultFromTheKeyboard()
    {
        QFETCH(bool, loading);
        QFETCH(bool, alreadyOpen);
        QFETCH(int, openKey);
        ui(window()).avant->setFocus();
        if (alreadyOpen)
            window().Command8_Click();
        if (loading)
            emit h->browser->DownloadBegin();
        QVERIFY(ui(window()).stoppeur->isEnabled() || !loading);

        QTest::keyClick(focused(), Qt::Key_R, Qt::AltModifier);
        QTRY_VERIFY(panel().isVisible());
        QTRY_COMPARE(focused(), panel().Text2);
        QTest::keyClicks(focused(), QStringLiteral("ozone"));
        QTest::keyClick(focused(), Qt::Key_Return);
        QCOMPARE(panel().Label4->text(), QStringLiteral("2 pages trouvées"));
        QCOMPARE(focused(), panel().Text2);

        QTest::keyClick(focused(), Qt::Key_Tab);
        QCOMPARE(focused(), panel().List1);
        QTest::keyClick(focused(), Qt::Key_Down);
        h->browser->calls.clear();
        QTest::keyClick(focused(), Qt::Key(openKey));
        QCOMPARE(h->browser->calls,
                 QStringList{QStringLiteral("Navigate2(%1air/cfc.html)").arg(h->window->state().site.racinesite)});
    }

    void escapeClosesThePanelBackToThePage()
    {
        window().Command8_Click();
        QCOMPARE(focused(), panel().Text2);
        QTest::keyClick(focused(), Qt::Key_Escape);
        QVERIFY(panel().isHidden());
        QVERIFY(focusInPage());
    }

    void escapeStopsALoadingPage()
    {
        ui(window()).avant->setFocus();
        h->browser->busy = true;
        emit h->browser->DownloadBegin();
        h->browser->calls.clear();
        QTest::keyClick(focused(), Qt::Key_Escape);
        QVERIFY(h->browser->calls.contains(QStringLiteral("Stop()")));
        QVERIFY(!ui(window()).stoppeur->isEnabled());
    }

    // F6 goes round the parts shown: buttons, panel, page, worksheet.
    void f6MovesBetweenTheWindowsParts_data()
    {
        QTest::addColumn<bool>("panelShown");
        QTest::addColumn<bool>("backwards");
        QTest::addColumn<QStringList>("stops");
        QTest::newRow("no panel") << false << false << QStringList{"Text1", "avant", "page", "Text1"};
        QTest::newRow("with the panel") << true << false << QStringList{"Text1", "avant", "Text2", "page"};
        QTest::newRow("Shift+F6") << true << true << QStringList{"Text2", "avant", "Text1", "page"};
    }
    void f6MovesBetweenTheWindowsParts()
    {
        QFETCH(bool, panelShown);
        QFETCH(bool, backwards);
        QFETCH(QStringList, stops);
        if (panelShown)
            window().Command8_Click();
        ui(window()).brwWebBrowser->setFocus();
        const QHash<QString, QWidget *> places{
            {"avant", ui(window()).avant}, {"Text2", panel().Text2}, {"page", ui(window()).brwWebBrowser},
            {"Text1", ui(window()).Text1}};
        for (const QString &stop : stops) {
            QTest::keyClick(focused(), Qt::Key_F6, backwards ? Qt::ShiftModifier : Qt::NoModifier);
            QCOMPARE(focused(), places.value(stop));
        }
    }
};

QTEST_MAIN(TestAccessForAll)
#include "tst_access_for_all.moc"
