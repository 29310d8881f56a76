#include "ajouteur.h"

#include "browser/browser_component.h"
#include "favourites/favourites_file.h"
#include "favourites/favourites_requests.h"
#include "shell/message_boxes.h"

namespace ruzez {

void reportFavouritesFailure(MessageBoxes &boxes)
{
    boxes.MsgBox(QStringLiteral("Impossible d'ajouter aux favoris: disque non valide pour l'écriture."),
                 vb::OKOnly + vb::Critical, kWriteFailureTitle);
}

void ajouteur(const BrowserComponent &browser, const QString &programFolder, MessageBoxes &boxes,
              FileAccess *files)
{
    ajouteur(browser.LocationName(), browser.LocationURL(), programFolder, boxes, files);
}

void ajouteur(const QString &title, const QString &address, const QString &programFolder,
              MessageBoxes &boxes, FileAccess *files)
{
    if (FavouritesFile::isBlank(title))
        return;

    const bool added = files ? favourites_requests::add(*files, programFolder, title, address)
                             : addFavourite(programFolder, title, address);
    if (!added)
        reportFavouritesFailure(boxes);
}

} // namespace ruzez
