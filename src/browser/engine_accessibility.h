#pragma once

namespace ruzez {

// Whether the desktop's accessibility is on: a screen reader or another
// assistive tool asks applications for what they show. Qt answers it by
// itself (its AT-SPI bridge follows the same switch); the web engine shows
// nothing of the page unless told before it starts.
bool desktopAccessibilityOn();

// Tells the web engine, before it starts, to expose its pages to assistive
// tools when the desktop's accessibility is on. Left off otherwise: the
// engine then builds no accessibility tree for every page it shows.
void exposePagesToScreenReaders();

} // namespace ruzez
