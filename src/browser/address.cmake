target_sources(ruzez_core PRIVATE
    address.cpp address.h
)
