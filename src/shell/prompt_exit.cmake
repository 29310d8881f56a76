target_sources(ruzez_core PRIVATE prompt_exit.cpp prompt_exit.h)
