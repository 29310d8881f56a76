#include "browser/browser_component.h"
#include "browser/status_strip.h"
#include "search/search_panel.h"
#include "window/frm_browser.h"
#include "window_controls.h"
#include "window_harness.h"

#include <QLabel>
#include <QListWidget>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>

using namespace ruzez;
using ruzez::test::ui;
using ruzez::test::WindowHarness;

class TestWindowLayout : public QObject
{
    Q_OBJECT

private slots:
    void designedControls()
    {
        WindowHarness h;
        frmBrowser &w = *h.window;
        struct Expected
        {
            QToolButton *button;
            QString caption;
            QRect geometry;
            bool shown;
        };
        const QList<Expected> buttons{
            {ui(w).avant, QStringLiteral("&Précédent"), {0, 0, 89, 41}, true},
            {ui(w).suivant, QStringLiteral("&Suivant"), {88, 0, 89, 41}, true},
            {ui(w).stoppeur, QStringLiteral("A&rrêter"), {176, 0, 89, 41}, true},
            {ui(w).actu, QStringLiteral("A&ctualiser"), {264, 0, 89, 41}, true},
            {ui(w).Maison, QStringLiteral("Acc&ueil"), {352, 0, 97, 41}, true},
            {ui(w).Command8, QStringLiteral("&Rechercher"), {448, 0, 89, 41}, true},
            {ui(w).Command3, QStringLiteral("&Imprimer"), {536, 0, 89, 41}, true},
            {ui(w).Command5, QStringLiteral("&Aide"), {624, 0, 89, 41}, true},
            {ui(w).Command2, QStringLiteral("&Fermer"), {712, 0, 89, 41}, true},
            {ui(w).Command4, QStringLiteral("Fa&voris"), {296, 112, 73, 41}, false},
            {ui(w).Command1, QStringLiteral("Para&mètres"), {304, 152, 73, 41}, false},
        };
        for (const Expected &e : buttons) {
            QCOMPARE(e.button->text(), e.caption);
            QCOMPARE(e.button->geometry(), e.geometry);
            QCOMPARE(e.button->isVisibleTo(&w), e.shown);
            QVERIFY(e.button->isEnabled());
            QVERIFY(!e.button->icon().isNull());
        }
        QCOMPARE(ui(w).avant->toolTip(), QStringLiteral("Page précédente"));
        QCOMPARE(ui(w).suivant->toolTip(), QStringLiteral("Page suivante"));
        QCOMPARE(ui(w).stoppeur->toolTip(), QStringLiteral("Arrêter le chargement"));
        QCOMPARE(ui(w).Frame1->palette().color(QPalette::Window), QColor(20, 100, 180));
        QVERIFY(!ui(w).Frame1->isVisibleTo(&w));
        QCOMPARE(ui(w).Image2->pixmap().size(), QSize(47, 49));
        QVERIFY(!ui(w).timTimer->isActive());
    }

    void layout_data()
    {
        QTest::addColumn<QSize>("window");
        QTest::addColumn<bool>("panel");
        QTest::addColumn<int>("worksheetHeight"); // 0: worksheet hidden
        QTest::addColumn<QRect>("browser");
        QTest::addColumn<int>("panelHeight");
        QTest::addColumn<int>("listHeight");
        QTest::addColumn<QRect>("worksheet");
        QTest::addColumn<int>("pictureTop");

        QTest::newRow("designed size, browser alone")
            << QSize(801, 520) << false << 0 << QRect(0, 39, 801, 481) << 488 << 280
            << QRect(96, 411, 697, 105) << 439;
        QTest::newRow("panel narrows the browser")
            << QSize(801, 520) << true << 0 << QRect(233, 39, 568, 481) << 488 << 280
            << QRect(96, 411, 697, 105) << 439;
        QTest::newRow("worksheet under the browser")
            << QSize(801, 520) << false << 105 << QRect(0, 39, 801, 364) << 371 << 163
            << QRect(96, 411, 697, 105) << 439;
        QTest::newRow("panel and worksheet 1")
            << QSize(1024, 700) << true << 118 << QRect(233, 39, 791, 531) << 538 << 330
            << QRect(96, 578, 920, 118) << 613;
        QTest::newRow("worksheet 3 on 800 x 600")
            << QSize(800, 600) << false << 152 << QRect(0, 39, 800, 397) << 404 << 196
            << QRect(96, 444, 696, 152) << 496;
    }

    void layout()
    {
        QFETCH(QSize, window);
        QFETCH(bool, panel);
        QFETCH(int, worksheetHeight);

        WindowHarness h;
        frmBrowser &w = *h.window;
        w.resize(window);
        ui(w).Frame1->setVisible(panel);
        ui(w).Text1->setVisible(worksheetHeight != 0);
        if (worksheetHeight)
            ui(w).Text1->resize(ui(w).Text1->width(), worksheetHeight);
        ui(w).etat->show();
        w.positionne();

        QTEST(ui(w).brwWebBrowser->geometry(), "browser");
        QTEST(ui(w).Frame1->height(), "panelHeight");
        QCOMPARE(ui(w).Frame1->geometry().topLeft(), QPoint(0, 32));
        QCOMPARE(ui(w).Frame1->width(), 233);
        QTEST(ui(w).Frame1->List1->height(), "listHeight");
        QTEST(ui(w).Text1->geometry(), "worksheet");
        QCOMPARE(ui(w).Text1->lineWrapMode(), QTextEdit::FixedPixelWidth);
        QCOMPARE(ui(w).Text1->lineWrapColumnOrWidth(), ui(w).Text1->width() - 12);
        QCOMPARE(ui(w).Text1->palette().color(QPalette::Base), w.palette().color(QPalette::Window));
        QCOMPARE(ui(w).Image2->isVisibleTo(&w), worksheetHeight != 0);
        QTEST(ui(w).Image2->y(), "pictureTop");
        QVERIFY(!ui(w).etat->isVisibleTo(&w));
    }

    // Sizes that would turn negative are refused; the controls keep the
    // last ones and the later steps still run.
    void tinyWindowKeepsTheLastSizes()
    {
        WindowHarness h;
        frmBrowser &w = *h.window;
        ui(w).Text1->show();
        w.positionne();
        QCOMPARE(ui(w).brwWebBrowser->height(), 364);

        w.resize(300, 100);
        w.positionne();
        QCOMPARE(ui(w).brwWebBrowser->height(), 364);
        QCOMPARE(ui(w).brwWebBrowser->width(), 300);
        QCOMPARE(ui(w).Text1->geometry(), QRect(96, -9, 196, 105));

        w.resize(90, 100);
        w.positionne();
        QCOMPARE(ui(w).Text1->width(), 196);
        QCOMPARE(ui(w).brwWebBrowser->width(), 90);

        ui(w).Text1->hide();
        w.resize(90, 30);
        w.positionne();
        QCOMPARE(ui(w).brwWebBrowser->height(), 364);
    }

    void resizingTheShownWindowLaysItOut()
    {
        WindowHarness h;
        frmBrowser &w = *h.window;
        ui(w).Text1->hide();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.resize(900, 650);
        QTRY_COMPARE(ui(w).brwWebBrowser->geometry(), QRect(0, 39, 900, 611));
        QCOMPARE(ui(w).etat->geometry(), QRect(0, 625, 900, 25));
        QVERIFY(!ui(w).etat->isVisible());
    }
};

QTEST_MAIN(TestWindowLayout)
#include "tst_window_layout.moc"
