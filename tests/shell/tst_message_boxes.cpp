#include "shell/qt_message_boxes.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

using namespace ruzez;

// The real boxes, answered by clicking their buttons as a user would.
class TestMessageBoxes : public QObject
{
    Q_OBJECT

private:
    struct Seen
    {
        QString text;
        QString title;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QStringList buttons;
    };

    // Clicks the button `press` (or closes with Escape when empty) on the
    // next box that opens, and records what it showed.
    void answerNextBox(Seen &seen, QMessageBox::StandardButton press)
    {
        QTimer::singleShot(0, this, [&seen, press] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            seen.text = box->text();
            seen.title = box->windowTitle();
            seen.icon = box->icon();
            for (QAbstractButton *b : box->buttons())
                seen.buttons << b->text().remove(QLatin1Char('&'));
            if (press == QMessageBox::NoButton)
                QTest::keyClick(box, Qt::Key_Escape);
            else
                box->button(press)->click();
        });
    }

private slots:
    void answers_data()
    {
        QTest::addColumn<int>("style");
        QTest::addColumn<int>("press");
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("icon");
        QTest::addColumn<int>("buttonCount");
        QTest::newRow("retry") << 53 << int(QMessageBox::Retry) << vb::Retry << int(QMessageBox::Warning) << 2;
        QTest::newRow("cancel") << 53 << int(QMessageBox::Cancel) << vb::Cancel << int(QMessageBox::Warning) << 2;
        QTest::newRow("escape on retry/cancel") << 53 << int(QMessageBox::NoButton) << vb::Cancel << int(QMessageBox::Warning) << 2;
        QTest::newRow("yes") << 36 << int(QMessageBox::Yes) << vb::Yes << int(QMessageBox::Question) << 2;
        QTest::newRow("no") << 36 << int(QMessageBox::No) << vb::No << int(QMessageBox::Question) << 2;
        QTest::newRow("ok critical") << 16 << int(QMessageBox::Ok) << vb::OK << int(QMessageBox::Critical) << 1;
        QTest::newRow("escape on ok") << 16 << int(QMessageBox::NoButton) << vb::OK << int(QMessageBox::Critical) << 1;
    }
    void answers()
    {
        QFETCH(int, style);
        QFETCH(int, press);
        QFETCH(int, answer);
        QFETCH(int, icon);
        QFETCH(int, buttonCount);
        QtMessageBoxes boxes;
        Seen seen;
        answerNextBox(seen, QMessageBox::StandardButton(press));
        QCOMPARE(boxes.MsgBox(QStringLiteral("Le texte é"), style, QStringLiteral("Le titre")), answer);
        QCOMPARE(seen.text, QStringLiteral("Le texte é"));
        QCOMPARE(seen.title, QStringLiteral("Le titre"));
        QCOMPARE(int(seen.icon), icon);
        QCOMPARE(seen.buttons.size(), buttonCount);
    }
};

QTEST_MAIN(TestMessageBoxes)
#include "tst_message_boxes.moc"
