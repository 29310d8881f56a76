target_sources(ruzez_core PRIVATE
    ansi_text.cpp ansi_text.h
    content_root.cpp content_root.h
    drives.cpp drives.h
    exchange_file.cpp exchange_file.h
    lenient_number.cpp lenient_number.h
    dialup_line.h
    display_platform.cpp display_platform.h
    message_boxes.h
    program_folder.cpp program_folder.h
    record_file.cpp record_file.h
    start_options.cpp start_options.h
    volume_probe.cpp volume_probe.h
)

target_sources(ruzez_ui PRIVATE
    qt_message_boxes.cpp qt_message_boxes.h
)
