#pragma once

#include <QObject>

#include <functional>
#include <vector>

class QWidget;

namespace ruzez {

// The keys a pupil without a mouse moves around the main window with:
// F6 and Shift+F6 go from one part of the window to the next (the button
// row, the search panel, the page, the worksheet), Escape backs out of
// what is under way.
class WindowKeys : public QObject
{
    Q_OBJECT

public:
    struct Region
    {
        // Whether the widget with the focus is in this part.
        std::function<bool(const QWidget *)> holds;
        // Where the focus goes in this part; null while the part is not shown.
        std::function<QWidget *()> entry;
    };

    WindowKeys(QWidget *window, std::vector<Region> regions, std::function<void()> escape);

    // The next part shown after the one with the focus (or before it).
    void nextRegion(bool backwards = false);

private:
    QWidget *m_window;
    std::vector<Region> m_regions;
    std::function<void()> m_escape;
};

} // namespace ruzez
