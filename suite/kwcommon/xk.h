// Custom lists, custom descriptions and key formats of the company (lists.json).
//
// lists.json:
// {
//   "lists": { "262": ["", "Software", "Hardware"], ... },   first entry: the default
//   "descriptions": { "262": "Classification", "8": "Check", "8.1": "..." },
//   "kinds": { "301": { "name": "GL account", "sections": [4, 2, 3], "separator": "-" },
//              "311": { "name": "Vendor", "sections": [10] },
//              "262": { "name": "Classification", "width": 20 },
//              "302.1": { ... } }
// }
// A kind with more than one section is multi-section: its values are stored without
// separators ("100000000") and shown with them ("1000-00-000"). The separator defaults to
// "-". A kind entry "kind.qualifier" applies to that qualifier only and takes precedence
// over the plain "kind" entry; the same holds for descriptions ("code.sub" over "code").
//
// A missing lists.json means the company has no lists, descriptions or formats; a
// malformed one reads the same and is reported once in the log. Sections count
// characters, not bytes.
#pragma once

#include <string>
#include <vector>

// The entries of custom list `list` (empty when the company has none). 0 found, 10 none.
short xk_get_custom_list(short list, std::vector<std::string>* entries);
// Writes the list (used by the custom-list editor); an empty list removes it. 0 written;
// 14 when lists.json is malformed (it is left as it is), 7 when another program is
// rewriting it, 22 for text that is not UTF-8, 17 when the file cannot be written.
short xk_put_custom_list(short list, const std::vector<std::string>& entries);
// The default of custom list `list` (its first entry) into text (size bytes, cut on a
// character boundary); "" when none. 0 found, 10 none.
short xk_get_custom_list_default(short list, char* text, int size);
std::string xk_get_custom_list_default(short list);

// The company's description for custom field code `code` (with second number `sub`,
// 0 when none): "Classification" for 262. A code with a second number that has no
// description of its own answers the description of the plain code. Empty when the
// company has none.
std::string xk_description(short code, short sub = 0);
// Every description the company has, by code and then second number.
struct xk_description_entry {
    short code;
    short sub;
    std::string text;
};
std::vector<xk_description_entry> xk_descriptions();
// Writes a description (custom descriptions editor); an empty text removes it. Statuses as
// xk_put_custom_list.
short xk_put_description(short code, short sub, const std::string& text);

// The formatted width of a kind (sections plus separators, or the kind's width); for a
// custom list code without a kind entry, the length of its longest entry; 0 for a kind
// the company does not know.
short xk_width(short kind, short qualifier);
// Nonzero when the kind's values are sectioned ("1000-00-000") for some qualifier.
short xk_multi_section(short kind);
// Stored text -> shown text with the kind's separators; each section loses its trailing
// blanks and empty trailing sections are left off. Text that already holds a separator
// is taken as shown and returned unchanged, as is text of any other kind.
std::string xk_format_field(short kind, short qualifier, const std::string& text);
// Shown text -> stored text without separators; each section is padded on the right
// with blanks to its width when shorter. Text without a separator is taken as stored
// and returned unchanged, as is text of any other kind.
std::string xk_unformat_field(short kind, short qualifier, const std::string& text);

// Drops the cached lists (the company changed or the file was rewritten).
void xk_reload();
