#pragma once

#include "shell/window_frame.h"

#include <optional>

namespace ruzez {

// The frame as an X11 window manager draws it.
class X11WindowFrame final : public WindowFrame
{
public:
    // Measured now when the window is shown normal and its frame is known,
    // else the last one measured, else asked of the window manager (once:
    // before the window is on the screen, it is the only way to know).
    QMargins normalFrame(QWidget &window) override;

private:
    std::optional<QMargins> m_known;
    bool m_asked = false;
};

// On X11: asks the window manager the frame it will draw around the native
// window of `window` (_NET_REQUEST_FRAME_EXTENTS) and waits a moment for
// the answer. None when there is no X11, no window manager that answers.
std::optional<QMargins> frameBeforeShowing(QWidget &window);

} // namespace ruzez
