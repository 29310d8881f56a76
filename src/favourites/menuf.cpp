#include "menuf.h"

#include "favourites/ajouteur.h"
#include "favourites/favoris.h"

#include <QCursor>
#include <QMenu>

namespace ruzez {

menuf::menuf(BrowserComponent &browser, QString programFolder, MessageBoxes &boxes,
             QWidget *parent, FileAccess *files)
    : QWidget(parent)
    , m_browser(browser)
    , m_programFolder(std::move(programFolder))
    , m_boxes(boxes)
    , m_files(files)
{
    // Hidden explicitly, so that showing the main window leaves it hidden.
    hide();

    menufav = new QMenu(QStringLiteral("MENUFAV"), this);
    ajoutsite = menufav->addAction(QStringLiteral("Ajouter ce site"));
    voirliste = menufav->addAction(QStringLiteral("Voir la liste"));
    connect(ajoutsite, &QAction::triggered, this, &menuf::ajoutsite_Click);
    connect(voirliste, &QAction::triggered, this, &menuf::voirliste_Click);
}

void menuf::popup()
{
    menufav->popup(QCursor::pos());
}

void menuf::ajoutsite_Click()
{
    ajouteur(m_browser, m_programFolder, m_boxes, m_files);
}

void menuf::voirliste_Click()
{
    favoris window(m_browser, m_programFolder, m_boxes, parentWidget(), m_files);
    window.Form_Load();
    window.exec();
}

} // namespace ruzez
