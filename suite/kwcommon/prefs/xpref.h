// The suite's preference store: named text and binary values, grouped in sections (the
// application's name), in two scopes.
//
// Scope 1, the user: $XDG_CONFIG_HOME/quorvel/preferences.json (~/.config/quorvel when the
// variable is not set), one file for all companies, the values of each company under its
// folder's absolute path ("" while no company is open):
//   { "format": 1, "companies": { "/home/ann/acme": { "<application>": { "Grid Columns": "..." } } } }
// Scope 2, the installation: preferences.json in the company folder, shared by every
// workstation that works on the company:
//   { "format": 1, "sections": { "<application>": { "Controls": { "hex": "0100" } } } }
// A text value is a JSON string; a binary value is { "hex": "<two lower-case hex digits per
// byte>" }.
//
// Writes lock the store (a companion ".lock" file) around read-modify-write, so processes
// writing different keys at once keep each other's keys, and replace the file by writing a
// temporary file beside it, syncing it and renaming it over the old one, so a crash leaves
// either the old or the new store. A missing or malformed store reads as "no value"; a
// malformed one (not JSON, or a store, company or section that is not an object) is set
// aside as ".bad" before the next write replaces it. A damaged value (neither a text nor a
// binary value) reads as "no value" and the next write of its key replaces it. Faults are
// written to the suite log, naming the file and the JSON path.
//
// Every call answers nonzero when it succeeded, 0 otherwise (unknown scope, empty section or
// key, no such value, a value of the other kind or size, text that is not UTF-8, a store
// that cannot be written).
#pragma once

#include <string>

enum xpref_scope : short {
    XPREF_USER = 1,
    XPREF_SYSTEM = 2,
};

// Copies the text value into value (size bytes with its terminating NUL); a longer text is
// cut on a character boundary and still answers success.
short xpref_get_string(short scope, const char* section, const char* key, char* value, int size);
short xpref_put_string(short scope, const char* section, const char* key, const char* value);
// Binary values: a read succeeds only when the stored value has exactly size bytes.
short xpref_get_data(short scope, const char* section, const char* key, void* data, int size);
short xpref_put_data(short scope, const char* section, const char* key, const void* data, int size);
// Removes a value (either kind). Nonzero when it is gone afterwards.
short xpref_delete(short scope, const char* section, const char* key);

// The file holding a scope's values ("" when it cannot be named: unknown scope, no company
// for scope 2, no home folder for scope 1).
std::string xpref_store_path(short scope);
