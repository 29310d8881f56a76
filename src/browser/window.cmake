target_sources(ruzez_core PRIVATE counter16.h layout.h)
target_sources(ruzez_ui PRIVATE
    browser_events.cpp
    commands.cpp
    layout.cpp
    navigation.cpp
    status_strip.cpp status_strip.h
)
