target_sources(ruzez_core PRIVATE case_folding.cpp case_folding.h keyword_search.cpp keyword_search.h)
