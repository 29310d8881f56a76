#include "settings/param.h"
#include "settings/settings_file.h"
#include "fake_message_boxes.h"
#include "test_files.h"

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace ruzez;
using ruzez::test::readAll;
using ruzez::test::record;

namespace {

const QByteArray kInstalled = test::records({"http://accueil", "http://recherche", "Dupont", "a@b.fr",
                                             "smtp.b.fr", "C:\\cartes", "http://maj", "http://cartes"});

} // namespace

class TestParam : public QObject
{
    Q_OBJECT

private:
    QString folder(const QByteArray *bytes = nullptr)
    {
        const QString path = m_scratch.newFolder();
        if (bytes)
            test::writeAll(fileIn(path), *bytes);
        return path;
    }
    static QString fileIn(const QString &folder) { return QDir(folder).filePath(kSettingsFileName); }

    static void checkFailureShown(const test::FakeMessageBoxes &boxes)
    {
        QCOMPARE(boxes.calls.size(), 1);
        QCOMPARE(boxes.calls[0].text,
                 QStringLiteral("Impossible d'écrire les paramètres: disque non valide pour l'écriture."));
        QCOMPARE(boxes.calls[0].style, vb::OKOnly + vb::Critical);
        QCOMPARE(boxes.calls[0].title, QStringLiteral("Ecriture impossible sur disque"));
    }

    test::ScratchFolder m_scratch;
    test::FakeMessageBoxes m_boxes;

private slots:
    void controlsStandWhereDesigned()
    {
        param window(folder(), m_boxes);
        QCOMPARE(window.size(), QSize(457, 374));
        const QList<std::pair<QWidget *, QRect>> places = {
            {window.Frame1, {16, 8, 425, 129}},   {window.Text1, {16, 24, 393, 89}},
            {window.Frame3, {16, 144, 425, 177}}, {window.Label3, {16, 24, 289, 17}},
            {window.Text3, {16, 40, 393, 23}},    {window.Label4, {16, 72, 289, 17}},
            {window.Text4, {16, 88, 393, 23}},    {window.Label5, {16, 120, 289, 17}},
            {window.Text5, {16, 136, 393, 23}},   {window.Command2, {96, 336, 105, 25}},
            {window.Command3, {240, 336, 105, 25}},
        };
        for (const auto &[control, place] : places)
            QCOMPARE(control->geometry(), place);
        QCOMPARE(window.Text1->parentWidget(), window.Frame1);
        QCOMPARE(window.Text5->parentWidget(), window.Frame3);
        QCOMPARE(window.Text4->text(), QStringLiteral("@"));
        QCOMPARE(window.Text1->palette().color(QPalette::Base), QColor(224, 224, 224));
        QCOMPARE(window.Text1->palette().color(QPalette::Text), QColor(0, 0, 192));
    }

    void focusStartsOnValiderAndTabsInOrder()
    {
        param window(folder(), m_boxes);
        window.show();
        QCOMPARE(window.focusWidget(), window.Command3);
        QWidget *at = window.Command3;
        const QList<QWidget *> order = {window.Command2, window.Text3, window.Text4,
                                        window.Text5, window.Text1, window.Command3};
        for (QWidget *expected : order) {
            do
                at = at->nextInFocusChain();
            while (!(at->focusPolicy() & Qt::TabFocus) || at == &window);
            QCOMPARE(at, expected);
        }
    }

    // The limit holds back typing only: a longer value from the file is
    // shown and saved whole, and can then only be shortened.
    void typingStopsAtAHundredCharacters_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<int>("stored");
        QTest::addColumn<int>("shown");
        for (int field = 0; field < 3; ++field) {
            const QByteArray name = "Text" + QByteArray::number(field + 3);
            QTest::newRow(name + ", empty: 101 typed") << field << 0 << 100;
            QTest::newRow(name + ", 100 stored") << field << 100 << 100;
            QTest::newRow(name + ", 126 stored") << field << 126 << 126;
        }
    }
    void typingStopsAtAHundredCharacters()
    {
        QFETCH(int, field);
        QFETCH(int, stored);
        QFETCH(int, shown);
        const QByteArray value(stored, 'v');
        QByteArray bytes = kInstalled;
        bytes.replace((field + 2) * 128, 128, record(value));
        const QString dir = folder(&bytes);
        param window(dir, m_boxes);
        window.Form_Load();
        QLineEdit *edit = QList<QLineEdit *>{window.Text3, window.Text4, window.Text5}.at(field);
        if (stored == 0)
            edit->clear();
        edit->setFocus();
        edit->end(false);
        QTest::keyClicks(edit, QString(101, QLatin1Char('x')));
        QCOMPARE(edit->text().size(), shown);
        QVERIFY(window.Text1->isReadOnly());
        if (stored == 0) {
            edit->clear();
            edit->insert(QString(150, QLatin1Char('p'))); // a paste
            QCOMPARE(edit->text(), QString(100, QLatin1Char('p')));
            edit->clear();
        }

        // "Valider" puts the record back as it stood, every other byte too.
        window.open();
        window.Command3->click();
        QVERIFY(!window.isVisible());
        if (stored > 0)
            QCOMPARE(readAll(fileIn(dir)), bytes);
    }

    void aLongStoredValueCanOnlyBeShortened()
    {
        QByteArray bytes = kInstalled;
        bytes.replace(3 * 128, 128, record(QByteArray(122, 'm')));
        param window(folder(&bytes), m_boxes);
        window.Form_Load();
        window.Text4->setFocus();
        window.Text4->end(false);
        QTest::keyClick(window.Text4, Qt::Key_Backspace);
        QCOMPARE(window.Text4->text().size(), 121);
        QTest::keyClicks(window.Text4, QStringLiteral("xy"));
        QCOMPARE(window.Text4->text(), QString(121, QLatin1Char('m')));
        QVERIFY(window.Text4->isModified());
    }

    void validerWritesAndCloses()
    {
        const QString dir = folder();
        param window(dir, m_boxes);
        window.Form_Load();
        QCOMPARE(window.Text4->text(), QString());
        window.open();
        window.Text3->setText(QStringLiteral("Lycée"));
        window.Command3->click();

        QVERIFY(!window.isVisible());
        QCOMPARE(window.result(), int(QDialog::Accepted));
        QCOMPARE(readAll(fileIn(dir)), record("") + record("") + record("Lyc\xe9" "e") + record("") + record(""));
        QVERIFY(m_boxes.calls.isEmpty());
    }

    void annulerAndTheCloseBoxWriteNothing_data()
    {
        QTest::addColumn<bool>("closeBox");
        QTest::newRow("Annuler") << false;
        QTest::newRow("close box") << true;
    }
    void annulerAndTheCloseBoxWriteNothing()
    {
        QFETCH(bool, closeBox);
        const QString dir = folder(&kInstalled);
        param window(dir, m_boxes);
        window.Form_Load();
        window.open();
        window.Text3->setText(QStringLiteral("autre"));
        if (closeBox)
            window.close();
        else
            window.Command2->click();
        QVERIFY(!window.isVisible());
        QCOMPARE(readAll(fileIn(dir)), kInstalled);
    }

    void failedLoadWarnsAndKeepsInitialFields()
    {
        const QString dir = folder();
        test::ReadOnlyGuard guard(dir);
        QVERIFY(guard.effective());
        test::FakeMessageBoxes boxes;
        param window(dir, boxes);
        window.Form_Load();
        checkFailureShown(boxes);
        QCOMPARE(window.Text1->toPlainText(), QString());
        QCOMPARE(window.Text4->text(), QStringLiteral("@"));
    }

    // A read-only file still loads, but every save fails and the input stays.
    void failedSaveWarnsAndStaysOpen()
    {
        const QString dir = folder(&kInstalled);
        test::ReadOnlyGuard guard(fileIn(dir));
        QVERIFY(guard.effective());
        test::FakeMessageBoxes boxes;
        param window(dir, boxes);
        window.Form_Load();
        QVERIFY(boxes.calls.isEmpty());
        const QStringList lines = window.Text1->toPlainText().split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 14);
        QCOMPARE(lines.last(), QStringLiteral("http://maj"));
        QCOMPARE(window.Text5->text(), QStringLiteral("smtp.b.fr"));

        window.open();
        window.Text5->setText(QStringLiteral("smtp.autre.fr"));
        window.Command3->click();
        checkFailureShown(boxes);
        QVERIFY(window.isVisible());
        QCOMPARE(window.Text5->text(), QStringLiteral("smtp.autre.fr"));
        QCOMPARE(readAll(fileIn(dir)), kInstalled);
    }

    // Enter in a field presses no button and keeps what was typed; on a
    // focused button it presses that button.
    void enterFromTheKeyboard_data()
    {
        QTest::addColumn<QString>("focus");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("result"); // -1: still open
        QTest::newRow("name field") << "Text3" << int(Qt::Key_Return) << -1;
        QTest::newRow("mail field, keypad Enter") << "Text4" << int(Qt::Key_Enter) << -1;
        QTest::newRow("server field") << "Text5" << int(Qt::Key_Return) << -1;
        QTest::newRow("Valider") << "Command3" << int(Qt::Key_Return) << int(QDialog::Accepted);
        QTest::newRow("Annuler") << "Command2" << int(Qt::Key_Enter) << int(QDialog::Rejected);
    }
    void enterFromTheKeyboard()
    {
        QFETCH(QString, focus);
        QFETCH(int, key);
        QFETCH(int, result);
        param window(folder(&kInstalled), m_boxes);
        window.Form_Load();
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        const QHash<QString, QWidget *> controls{{"Text3", window.Text3}, {"Text4", window.Text4},
                                                 {"Text5", window.Text5}, {"Command3", window.Command3},
                                                 {"Command2", window.Command2}};
        QWidget *target = controls.value(focus);
        target->setFocus();
        if (auto *field = qobject_cast<QLineEdit *>(target))
            QTest::keyClicks(field, QStringLiteral("xyz"));
        QTest::keyClick(target, Qt::Key(key));
        if (result < 0) {
            QTest::qWait(50);
            QVERIFY(window.isVisible());
            QVERIFY(qobject_cast<QLineEdit *>(target)->text().endsWith(QLatin1String("xyz")));
        } else {
            QTRY_VERIFY(!window.isVisible());
            QCOMPARE(window.result(), result);
        }
    }

    void fieldsAreNamedByTheirOwnLabels()
    {
        param window(folder(), m_boxes);
        const QList<std::pair<QLineEdit *, QString>> fields{
            {window.Text3, QStringLiteral("Votre nom / établissement:")},
            {window.Text4, QStringLiteral("Adresse électronique:")},
            {window.Text5, QStringLiteral("Serveur courrier sortant (SMTP):")}};
        for (const auto &[field, name] : fields)
            QCOMPARE(QAccessible::queryAccessibleInterface(field)->text(QAccessible::Name), name);
    }
};

QTEST_MAIN(TestParam)
#include "tst_param.moc"
