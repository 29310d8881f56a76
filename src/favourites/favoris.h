#pragma once

#include <QDialog>
#include <QString>

class QGroupBox;
class QListWidget;
class QToolButton;

namespace ruzez {

class BrowserComponent;
class FileAccess;
class MessageBoxes;

// The favourites window: the titles of the favourites file in file order,
// with "Fermer", "Enlever" and "Aller à...". A list position is the only
// link to its entry (position p is entry p + 1), so every change this
// window makes to the file refills the list at once.
//
// Nothing is read when the window is built: whoever opens it calls
// Form_Load first, as loading the window does.
class favoris : public QDialog
{
    Q_OBJECT

public:
    // With `files`, the file is read and written through it.
    favoris(BrowserComponent &browser, QString programFolder, MessageBoxes &boxes,
            QWidget *parent = nullptr, FileAccess *files = nullptr);

    // Appends the titles of the file to Liste; a failure is reported, and
    // the titles read before it stay listed.
    void Form_Load();
    // "Enlever": removes the selected entry and refills the list.
    void Command1_Click();
    // "Aller à...": opens the selected entry in the main browser and closes.
    void Command2_Click();
    // "Fermer".
    void Command3_Click();
    void Liste_DblClick();

    QGroupBox *Frame1 = nullptr;
    QListWidget *Liste = nullptr;
    QToolButton *Command3 = nullptr;
    QToolButton *Command1 = nullptr;
    QToolButton *Command2 = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    // The selected list position, -1 when none is selected.
    int selectedPosition() const;

    BrowserComponent &m_browser;
    QString m_programFolder;
    FileAccess *m_files = nullptr;
    MessageBoxes &m_boxes;
};

} // namespace ruzez
