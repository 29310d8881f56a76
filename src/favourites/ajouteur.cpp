#include "ajouteur.h"

#include "browser/browser_component.h"
#include "favourites/favourites_file.h"
#include "shell/message_boxes.h"

namespace ruzez {

void reportFavouritesFailure(MessageBoxes &boxes)
{
    boxes.MsgBox(QStringLiteral("Impossible d'ajouter aux favoris: disque non valide pour l'écriture."),
                 vb::OKOnly + vb::Critical, kWriteFailureTitle);
}

namespace {

// Opens, adds and closes: the file is closed before any box is shown. The
// entry is added once the close has put it on the disc.
bool addToFile(const QString &programFolder, const QString &title, const QString &address)
{
    RecordFileStore file(FavouritesFile::pathIn(programFolder));
    FavouritesFile favourites(file);
    return file.open() && favourites.add(title, address) && file.close();
}

} // namespace

void ajouteur(const BrowserComponent &browser, const QString &programFolder, MessageBoxes &boxes)
{
    ajouteur(browser.LocationName(), browser.LocationURL(), programFolder, boxes);
}

void ajouteur(const QString &title, const QString &address, const QString &programFolder, MessageBoxes &boxes)
{
    if (FavouritesFile::isBlank(title))
        return;

    if (!addToFile(programFolder, title, address))
        reportFavouritesFailure(boxes);
}

} // namespace ruzez
