#include "window/window_keys.h"

#include <QShortcut>
#include <QWidget>

namespace ruzez {

WindowKeys::WindowKeys(QWidget *window, std::vector<Region> regions, std::function<void()> escape)
    : QObject(window)
    , m_window(window)
    , m_regions(std::move(regions))
    , m_escape(std::move(escape))
{
    auto *forward = new QShortcut(QKeySequence(Qt::Key_F6), window);
    connect(forward, &QShortcut::activated, this, [this] { nextRegion(); });
    auto *backward = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F6), window);
    connect(backward, &QShortcut::activated, this, [this] { nextRegion(true); });
    auto *escapeKey = new QShortcut(QKeySequence(Qt::Key_Escape), window);
    connect(escapeKey, &QShortcut::activated, this, [this] { m_escape(); });
}

void WindowKeys::nextRegion(bool backwards)
{
    const int count = int(m_regions.size());
    const QWidget *focus = m_window->focusWidget();
    int current = -1;
    for (int i = 0; i < count && focus; ++i) {
        if (m_regions[size_t(i)].holds(focus)) {
            current = i;
            break;
        }
    }
    // From nowhere, F6 starts at the first part and Shift+F6 at the last.
    if (current < 0)
        current = backwards ? count : -1;
    for (int step = 1; step <= count; ++step) {
        const int index = ((current + (backwards ? -step : step)) % count + count) % count;
        if (QWidget *entry = m_regions[size_t(index)].entry()) {
            entry->setFocus(backwards ? Qt::BacktabFocusReason : Qt::TabFocusReason);
            return;
        }
    }
}

} // namespace ruzez
