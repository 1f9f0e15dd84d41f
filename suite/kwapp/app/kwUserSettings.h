// The user's own settings of the suite's programs, kept across companies: the last company
// opened, window placements, toolbar choices. One JSON file of named text values in
// $XDG_CONFIG_HOME/quorvel/kwapp.json (~/.config/quorvel when the variable is not set).
#pragma once

#include <optional>
#include <string>

class kwUserSettings {
public:
    kwUserSettings() = delete;

    // The value stored under key, if any. A missing file has no values. A damaged file (not
    // JSON, not an object) or a value that is not a text has none either: *error (when
    // given) names the file and the key, and the fault is logged.
    static std::optional<std::string> Get(const std::string& key, std::string* error = nullptr);
    // Stores (or replaces) one value; other values, also those written meanwhile by other
    // programs, are kept. A damaged file is set aside as "kwapp.json.bad" and the settings
    // start again. false when the file cannot be written.
    static bool Put(const std::string& key, const std::string& value);
    static bool Remove(const std::string& key);

    // The file (its folder is made on the first write).
    static std::string FilePath();
};
