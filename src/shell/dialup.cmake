target_sources(ruzez_ui PRIVATE
    network_manager_dialup.cpp network_manager_dialup.h
)
