target_sources(ruzez_core PRIVATE keyword_search.cpp keyword_search.h)
