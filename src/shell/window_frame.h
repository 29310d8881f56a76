#pragma once

#include <QMargins>

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
    virtual ~WindowFrame() = default;
    // The frame around `window` once it is back in its normal state; none
    // at all (offscreen, no window manager) is no frame.
    virtual QMargins normalFrame(QWidget &window) = 0;
};

} // namespace ruzez
