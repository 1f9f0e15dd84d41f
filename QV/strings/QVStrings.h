// The string table of the main program ("QV.EXE"): its name and abbreviation, the status-bar
// prompts of its own commands and the frame's standard prompts. The texts are in
// QVStrings.cpp, compiled into the program and registered when it starts.
#pragma once

inline constexpr const char* QV_MODULE = "QV.EXE";

enum QVStringId : unsigned short {
    QVS_APPLICATION_NAME = 3, // QV_PRODUCT_NAME (qvkit/qvVersion.h)
    QVS_ABBREVIATION = 4,     // "QV"
    QVS_FRAME_TITLE = 57344,
    QVS_READY = 57345,
};
