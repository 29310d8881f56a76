#pragma once

#include <QString>
#include <QWidget>

class QAction;
class QMenu;

namespace ruzez {

class BrowserComponent;
class FileAccess;
class MessageBoxes;

// The never-shown window that owns the favourites popup menu: "Ajouter ce
// site" adds the page shown, "Voir la liste" opens the favourites window.
// The main window's "Fa&voris" button calls popup().
class menuf : public QWidget
{
    Q_OBJECT

public:
    menuf(BrowserComponent &browser, QString programFolder, MessageBoxes &boxes,
          QWidget *parent = nullptr, FileAccess *files = nullptr);

    // Pops the menu up at the mouse pointer and returns at once.
    void popup();

    void ajoutsite_Click();
    // Opens the favourites window modally; returns once it is closed.
    void voirliste_Click();

    QMenu *menufav = nullptr;
    QAction *ajoutsite = nullptr;
    QAction *voirliste = nullptr;

private:
    BrowserComponent &m_browser;
    QString m_programFolder;
    MessageBoxes &m_boxes;
    FileAccess *m_files = nullptr;
};

} // namespace ruzez
