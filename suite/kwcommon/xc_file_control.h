// The file control: per file abbreviation, the folder that holds its data files and
// whether named files (several data files of one dictionary, chosen by name) are on.
// Kept in the company's filecontrol.json: { "CMT": { "folder": "bank", "namedFiles": false } }.
#pragma once

struct xc_file_control_def {
    char abbrev[4];
    char path[256];   // folder, absolute; empty: the company folder
    short namedFiles; // nonzero: named files mode on
};

// 0 and the control of abbrev; XIO_NO_RECORD when the company has none for it;
// XIO_CORRUPT (logged, naming the file and the place) when filecontrol.json is not JSON or
// holds a value of the wrong type ("folder" a text, "namedFiles" true or false).
short xc_get_file_control_def(const char* abbrev, xc_file_control_def* def);
