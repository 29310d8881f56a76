#pragma once

#include <QMargins>

#include <optional>

class QWidget;

namespace ruzez {

// The frame the window manager draws around the main window in its normal
// state. The fit to 800 x 600 is a size of the whole window, frame
// included, and it must hold at the first showing, before the window is on
// the screen (no visible jump), and after a maximised spell, when the frame
// measured would still be the maximised one.
class WindowFrame
{
public:
    // The frame around `window` once it is back in its normal state:
    // measured now when it is shown normal and its frame is known, else the
    // last one measured, else asked of the window manager (once: before the
    // window is on the screen, it is the only way to know); none at all
    // (offscreen, no window manager) is no frame.
    QMargins normalFrame(QWidget &window);

private:
    std::optional<QMargins> m_known;
    bool m_asked = false;
};

// On X11: asks the window manager the frame it will draw around the native
// window of `window` (_NET_REQUEST_FRAME_EXTENTS) and waits a moment for
// the answer. None when there is no X11, no window manager that answers.
std::optional<QMargins> frameBeforeShowing(QWidget &window);

} // namespace ruzez
