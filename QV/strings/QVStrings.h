// The string table of the main program ("QV.EXE"): its name and abbreviation, the status-bar
// prompts of its own commands and the frame's standard prompts, each under the id of its
// command (or the framework's string id). The texts are in
// QVStrings.cpp, compiled into the program and registered when it starts.
#pragma once

inline constexpr const char* QV_MODULE = "QV.EXE";

enum QVStringId : unsigned short {
    QVS_APPLICATION_NAME = 3, // QV_PRODUCT_NAME (qvkit/qvVersion.h)
    QVS_ABBREVIATION = 4,     // "QV"
};
