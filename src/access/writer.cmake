# The Jet4 writer and the CSV text the authors' tool turns into a table.
target_sources(ruzez_access PRIVATE
    csv_text.cpp csv_text.h
    jet_pages.cpp jet_pages.h
    jet_writer.cpp jet_writer.h
)
