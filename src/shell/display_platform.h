#pragma once

#include <QByteArray>
#include <QProcessEnvironment>

namespace ruzez {

// The window system RUZEZ asks Qt for. A Wayland window cannot place or
// size itself, so the fit to 800 x 600, centred, cannot happen there: in a
// Wayland session that also offers X11 (XWayland, DISPLAY set) the window
// goes through X11. A platform the user chose (QT_QPA_PLATFORM) is kept.
// Empty: leave Qt's own choice.
QByteArray displayPlatformFor(const QProcessEnvironment &environment);

// Applies that choice to this process; call before the QApplication exists.
void chooseDisplayPlatform();

} // namespace ruzez
