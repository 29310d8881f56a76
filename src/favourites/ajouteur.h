#pragma once

#include <QString>

namespace ruzez {

class BrowserComponent;
class FileAccess;
class MessageBoxes;

// The one message of every favourites file failure, adding or listing.
void reportFavouritesFailure(MessageBoxes &boxes);

// frmBrowser's ajouteur: adds the page shown in the browser to the
// favourites file of the program folder. A page without a title is
// skipped silently; any failure of the file is reported in a box. With
// `files`, the file is written through it.
void ajouteur(const BrowserComponent &browser, const QString &programFolder, MessageBoxes &boxes,
              FileAccess *files = nullptr);
// The same for a page's own address and title (a course page's
// window.external.AddFavorite).
void ajouteur(const QString &title, const QString &address, const QString &programFolder,
              MessageBoxes &boxes, FileAccess *files = nullptr);

} // namespace ruzez
