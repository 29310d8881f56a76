target_sources(ruzez_core PRIVATE
    favourites_file.cpp favourites_file.h
    record_store.h
)

target_sources(ruzez_ui PRIVATE
    ajouteur.cpp ajouteur.h
    favoris.cpp favoris.h
    menuf.cpp menuf.h
)
target_sources(ruzez_ui PRIVATE frm_browser_favourites.cpp)
