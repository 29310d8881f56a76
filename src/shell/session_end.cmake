target_sources(ruzez_core PRIVATE session_end.cpp session_end.h)
