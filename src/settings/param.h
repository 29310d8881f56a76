#pragma once

#include <QDialog>
#include <QString>

#include <array>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace ruzez {

class FileAccess;
class MessageBoxes;

// The settings window: the stored addresses in a read-only information
// box, and the three mail items the user may edit and save with "Valider".
// Each opening reads the file afresh; "Annuler" and the close box write
// nothing.
class param : public QDialog
{
    Q_OBJECT

public:
    // What the user may type into an item; values read from the file may be
    // longer (up to a record's 126 characters) and are kept whole.
    static constexpr int kMaxItem = 100;

    // With `files`, the file is read and written through it.
    explicit param(const QString &programFolder, MessageBoxes &boxes, QWidget *parent = nullptr,
                   FileAccess *files = nullptr);

    // Reads the file into the information box and the three fields. On a
    // failure the box tells the user, and the window keeps what was read.
    void Form_Load();

    QGroupBox *Frame1 = nullptr;
    QPlainTextEdit *Text1 = nullptr;
    QGroupBox *Frame3 = nullptr;
    QLabel *Label3 = nullptr;
    QLineEdit *Text3 = nullptr;
    QLabel *Label4 = nullptr;
    QLineEdit *Text4 = nullptr;
    QLabel *Label5 = nullptr;
    QLineEdit *Text5 = nullptr;
    QPushButton *Command2 = nullptr;
    QPushButton *Command3 = nullptr;

public slots:
    // "Valider": writes the three items and closes; on a failure the box
    // tells the user and the window stays open with the input.
    void Command3_Click();
    // "Annuler": closes without writing.
    void Command2_Click();

private:
    void reportFailure();

    QString m_programFolder;
    MessageBoxes &m_boxes;
    FileAccess *m_files = nullptr;
    // Whether Form_Load read records 3, 4 and 5.
    std::array<bool, 3> m_read{};
};

// The main window's "Paramètres" button: loads the window and shows it
// modally, returning when it is closed.
void showSettings(QWidget *parent, const QString &programFolder, MessageBoxes &boxes,
                  FileAccess *files = nullptr);

} // namespace ruzez
