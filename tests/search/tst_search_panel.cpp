#include "search/search_panel.h"

#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

using namespace ruzez;

namespace {

LinkRow row(const char *url, const char *title, const char *description)
{
    return LinkRow{QStringLiteral("0"), QString::fromUtf8(url), QString::fromUtf8(title),
                   QString::fromUtf8(description)};
}

// What the panel showed while its table was being read.
struct DuringSearch
{
    int reads = 0;
    QString message;
    bool label4Visible = false;
    bool list1Visible = true;
    Qt::CursorShape buttonPointer = Qt::ArrowCursor;
    Qt::CursorShape boxPointer = Qt::ArrowCursor;
};

} // namespace

class TestSearchPanel : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<SearchPanel> m_panel;
    DuringSearch m_during;
    std::optional<std::vector<LinkRow>> m_rows;

    void search(const QString &keywords, bool allWords = false)
    {
        (allWords ? m_panel->Option2 : m_panel->Option1)->setChecked(true);
        m_panel->Text2->setText(keywords);
        QTest::mouseClick(m_panel->Command6, Qt::LeftButton);
    }

    QStringList titles() const
    {
        const QAbstractItemModel *list = m_panel->List1->model();
        QStringList result;
        for (int i = 0; i < list->rowCount(); ++i)
            result.append(list->index(i, 0).data().toString());
        return result;
    }

    void doubleClickTitle(int index)
    {
        QListView *list = m_panel->List1;
        list->setCurrentIndex(list->model()->index(index, 0));
        const QPoint centre = list->visualRect(list->model()->index(index, 0)).center();
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, centre);
    }

private slots:
    void init()
    {
        m_during = {};
        m_rows = std::vector<LinkRow>{
            row("air/ozone.html", "Ozone", "L'ozone près du sol pollue l'air."),
            row("air/ozone-ville.html", "Ozone", "Ozone en ville."),
            row("air/co2.html", "Dioxyde de carbone", "Le CO2 et l'effet de serre."),
            row("air/cfc.html", "CFC", "Les CFC détruisent la couche d'ozone ; effet de serre."),
            row("air/energie.html", "Energie", "L'energie des combustibles."),
        };
        m_panel = std::make_unique<SearchPanel>();
        m_panel->setRowSource([this]() -> std::unique_ptr<LinkRows> {
            ++m_during.reads;
            m_during.message = m_panel->Label4->text();
            m_during.label4Visible = m_panel->Label4->isVisible();
            m_during.list1Visible = m_panel->List1->isVisible();
            m_during.buttonPointer = m_panel->Command6->cursor().shape();
            m_during.boxPointer = m_panel->Text2->cursor().shape();
            return m_rows ? std::make_unique<LinkRowList>(*m_rows) : nullptr;
        });
        m_panel->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_panel.get()));
    }
    void cleanup() { m_panel.reset(); }

    void startsEmptyAndAnyWord()
    {
        SearchPanel panel;
        QVERIFY(panel.isHidden());
        QVERIFY(panel.Option1->isChecked());
        QVERIFY(!panel.Option2->isChecked());
        QVERIFY(panel.Label4->isHidden());
        QVERIFY(panel.List1->isHidden());
        QVERIFY(panel.Text2->text().isEmpty());
        QCOMPARE(panel.Image1->toolTip(), QStringLiteral("Fermer"));
        QCOMPARE(panel.Image1->pixmap().size(), QSize(32, 32));
        QCOMPARE(panel.Label3->text(),
                 QStringLiteral("Saisir les mots en les séparant d'un espace, choisir une option "
                                "et appuyer sur « Chercher »."));
        QCOMPARE(panel.width(), 233);
        QCOMPARE(panel.palette().color(QPalette::Window), QColor(20, 100, 180));
        QCOMPARE(panel.Label4->palette().color(QPalette::WindowText), QColor(Qt::yellow));
    }

    // Only the checked option takes Tab, so the group is one stop as the
    // order requires; the chain itself holds both in order.
    void tabsFromTheButtonToTheOptions()
    {
        const QList<QWidget *> controls{m_panel->Command6, m_panel->Text2, m_panel->List1,
                                        m_panel->Option1, m_panel->Option2};
        QList<QWidget *> order;
        QWidget *widget = m_panel->Command6;
        do {
            if (controls.contains(widget))
                order.append(widget);
            widget = widget->nextInFocusChain();
        } while (widget != m_panel->Command6);
        QCOMPARE(order, controls);
    }

    void showsResults()
    {
        search(QStringLiteral("  ÉNERGIE   énergie "));
        QCOMPARE(m_panel->Text2->text(), QStringLiteral("ÉNERGIE   energie"));
        QCOMPARE(titles(), QStringList{"Energie"});
        QCOMPARE(m_panel->List2, QStringList{"air/energie.html"});
        QCOMPARE(m_panel->Label4->text(), QStringLiteral("Une page trouvée"));
        QVERIFY(m_panel->Label4->isVisible());
        QVERIFY(m_panel->List1->isVisible());
    }

    void showsTheMessageBeforeTheWork()
    {
        search(QStringLiteral("ozone"));
        QCOMPARE(m_during.reads, 1);
        QCOMPARE(m_during.message, QStringLiteral("Recherche en cours..."));
        QVERIFY(m_during.label4Visible);
        QVERIFY(!m_during.list1Visible);
        QCOMPARE(m_during.buttonPointer, Qt::WaitCursor);
        QCOMPARE(m_panel->Command6->cursor().shape(), Qt::ArrowCursor);
        QCOMPARE(m_panel->Label4->text(), QStringLiteral("2 pages trouvées"));
    }

    // 200,000 results: every title listed, and the count readable whole.
    void manyResults()
    {
        m_rows = std::vector<LinkRow>();
        for (int i = 0; i < 200000; ++i)
            m_rows->push_back(LinkRow{QString::number(i), QStringLiteral("air/a.html"),
                                      QString::number(i), QStringLiteral("ozone")});
        search(QStringLiteral("ozone"));
        QCOMPARE(m_panel->List1->model()->rowCount(), 200000);
        QCOMPARE(m_panel->Label4->text(), QStringLiteral("200000 pages trouvées"));
        QVERIFY(QFontMetrics(m_panel->Label4->font()).horizontalAdvance(m_panel->Label4->text())
                <= m_panel->Label4->contentsRect().width());
    }

    void findingNothingHidesTheList_data()
    {
        QTest::addColumn<bool>("readable");
        QTest::newRow("no match") << true;
        QTest::newRow("unreadable table") << false;
    }
    void findingNothingHidesTheList()
    {
        QFETCH(bool, readable);
        search(QStringLiteral("ozone"));
        QVERIFY(m_panel->List1->isVisible());
        if (!readable)
            m_rows.reset();
        search(readable ? QStringLiteral("benzène") : QStringLiteral("ozone"));
        QCOMPARE(m_panel->Label4->text(), QStringLiteral("Aucune page trouvée"));
        QVERIFY(m_panel->Label4->isVisible());
        QVERIFY(!m_panel->List1->isVisible());
        QCOMPARE(m_panel->List1->model()->rowCount(), 0);
        QVERIFY(m_panel->List2.isEmpty());
    }

    void blankBoxLeavesEverything_data()
    {
        QTest::addColumn<QString>("box");
        QTest::newRow("empty") << "";
        QTest::newRow("spaces") << "    ";
    }
    void blankBoxLeavesEverything()
    {
        QFETCH(QString, box);
        search(QStringLiteral("serre"));
        const QStringList before = titles();
        m_during = {};
        search(box, true);
        QCOMPARE(m_during.reads, 0);
        QCOMPARE(m_panel->Text2->text(), box);
        QCOMPARE(titles(), before);
        QCOMPARE(m_panel->List2, (QStringList{"air/co2.html", "air/cfc.html"}));
        QCOMPARE(m_panel->Label4->text(), QStringLiteral("2 pages trouvées"));
        QVERIFY(m_panel->List1->isVisible());
    }

    void enterSearchesWithTheHourglassOnTheBox_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("return") << int(Qt::Key_Return);
        QTest::newRow("keypad enter") << int(Qt::Key_Enter);
    }
    void enterSearchesWithTheHourglassOnTheBox()
    {
        QFETCH(int, key);
        const Qt::CursorShape before = m_panel->Text2->cursor().shape();
        m_panel->Text2->setText(QStringLiteral("ozone"));
        QTest::keyClick(m_panel->Text2, Qt::Key(key));
        QCOMPARE(m_during.reads, 1);
        QCOMPARE(m_during.boxPointer, Qt::WaitCursor);
        QCOMPARE(m_panel->Text2->cursor().shape(), before);
        QCOMPARE(titles(), (QStringList{"Ozone", "CFC"}));
    }

    void otherKeysDoNotSearch_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("letter") << int(Qt::Key_A);
        QTest::newRow("space") << int(Qt::Key_Space);
        QTest::newRow("escape") << int(Qt::Key_Escape);
        QTest::newRow("backspace") << int(Qt::Key_Backspace);
    }
    void otherKeysDoNotSearch()
    {
        QFETCH(int, key);
        m_panel->Text2->setText(QStringLiteral("ozone"));
        QTest::keyClick(m_panel->Text2, Qt::Key(key));
        QCOMPARE(m_during.reads, 0);
        QVERIFY(m_panel->Label4->isHidden());
    }

    // In "tous les mots" the second word removes the second "Ozone" entry;
    // the list and the addresses must still line up.
    void doubleClickOpensTheTitlesAddress_data()
    {
        QTest::addColumn<QString>("keywords");
        QTest::addColumn<bool>("allWords");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("url");
        QTest::newRow("second title") << "ozone" << false << 1 << "air/cfc.html";
        QTest::newRow("after removals")
            << "ozone serre" << true << 0 << "air/cfc.html";
        QTest::newRow("after removal of a repeated title")
            << "ozone l'air" << true << 0 << "air/ozone.html";
        QTest::newRow("two rows of one title") << "ozone" << true << 1 << "air/ozone-ville.html";
    }
    void doubleClickOpensTheTitlesAddress()
    {
        QFETCH(QString, keywords);
        QFETCH(bool, allWords);
        QFETCH(int, index);
        QFETCH(QString, url);
        search(keywords, allWords);
        QSignalSpy opened(m_panel.get(), &SearchPanel::List1_DblClick);
        doubleClickTitle(index);
        QCOMPARE(opened.count(), 1);
        QCOMPARE(opened.at(0).at(0).toString(), url);
        QCOMPARE(m_panel->List1->currentIndex().row(), index);
    }

    void doubleClickWithoutSelectionDoesNothing()
    {
        search(QStringLiteral("ozone"));
        m_panel->List1->clearSelection();
        QSignalSpy opened(m_panel.get(), &SearchPanel::List1_DblClick);
        const QRect last = m_panel->List1->visualRect(m_panel->List1->model()->index(1, 0));
        QTest::mouseDClick(m_panel->List1->viewport(), Qt::LeftButton, {},
                           QPoint(last.center().x(), last.bottom() + 20));
        QCOMPARE(opened.count(), 0);
    }

    void closePictureAsksToClose()
    {
        QSignalSpy closing(m_panel.get(), &SearchPanel::Image1_Click);
        QTest::mouseClick(m_panel->Image1, Qt::LeftButton);
        QCOMPARE(closing.count(), 1);
        QTest::mouseClick(m_panel->Image1, Qt::RightButton);
        QCOMPARE(closing.count(), 1);
    }
};

QTEST_MAIN(TestSearchPanel)
#include "tst_search_panel.moc"
