# The window manager's frame, asked over X11 before the window shows.
find_package(PkgConfig REQUIRED)
pkg_check_modules(XCB REQUIRED IMPORTED_TARGET GLOBAL xcb)
target_sources(ruzez_ui PRIVATE window_frame.cpp window_frame.h)
target_link_libraries(ruzez_ui PUBLIC PkgConfig::XCB)
