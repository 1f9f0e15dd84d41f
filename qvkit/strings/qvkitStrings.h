// The string table of the component library ("QVKIT.DLL"): the few words its own dialogs
// show. The texts are in qvkitStrings.cpp and registered when the library loads.
#pragma once

inline constexpr const char* QVKIT_MODULE = "QVKIT.DLL";

enum qvkitStringId : short {
    KCLS_REPORT_DESIGNS = 1, // filter name of the report-design chooser
};
