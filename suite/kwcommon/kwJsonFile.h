// Reading the suite's JSON files (company settings, lists, operators, applications, file
// control, preferences, dictionaries, mail and user settings) so that nothing in a file can
// crash its reader: one parse that never throws, and typed reads whose every fault names
// the file and the JSON path of the value ("company.json: mail.port must be a whole
// number, not \"587\"").
//
// A loader walks its document through kwJsonNode, which knows where it stands. A wrong
// type, a number out of range or a missing member throws kwJsonError from inside the
// loader; kwJsonLoad runs the loader and turns that (and any other fault of the JSON
// library) into an error text, so no exception ever leaves a loader.
//
// Paths: members are joined with "." ("operators[2].email"); a member name that is not
// made of letters, digits and "_" is quoted ("companies[\"/home/ann/acme\"]").
#pragma once

#include <nlohmann/json.hpp>

#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>

// A fault found in a JSON file: the text names the file and the place.
class kwJsonError : public std::runtime_error {
public:
    explicit kwJsonError(const std::string& text) : std::runtime_error(text) {}
};

// One value of a JSON file with its place in the file. It refers to the document, which
// must outlive it.
class kwJsonNode {
public:
    kwJsonNode(const nlohmann::json& value, std::string file, std::string path = {});

    const nlohmann::json& Json() const { return *_value; }
    const std::string& File() const { return _file; }
    // The JSON path of the value, "" for the document itself.
    const std::string& Path() const { return _path; }
    // "<file>: <path>", or the file alone for the document itself.
    std::string Where() const;

    bool IsNull() const { return _value->is_null(); }
    bool IsObject() const { return _value->is_object(); }
    bool IsArray() const { return _value->is_array(); }

    // Throws kwJsonError "<file>: <path> <what>" ("the file <what>" for the document).
    [[noreturn]] void Fail(const std::string& what) const;

    // The value itself, checked for its kind.
    const kwJsonNode& ExpectObject() const;
    const kwJsonNode& ExpectArray() const;
    std::string Text() const;
    bool Flag() const;
    int64_t Whole(int64_t low, int64_t high) const;
    double Number() const; // any finite JSON number

    // Members of an object (the node must be one: ExpectObject first, or Find fails).
    std::optional<kwJsonNode> Find(const char* key) const;
    kwJsonNode Member(const char* key) const; // required: "<key> is missing" when absent
    // Typed members with the value to use when the member is absent. A member that is
    // present with null is a wrong type like any other.
    std::string Text(const char* key, const std::string& fallback) const;
    bool Flag(const char* key, bool fallback) const;
    int64_t Whole(const char* key, int64_t fallback, int64_t low, int64_t high) const;
    // Every member in the file's order (objects keep nlohmann's sorted order).
    void ForEachMember(const std::function<void(const std::string& name, const kwJsonNode& value)>& visit) const;

    // Items of an array (the node must be one).
    size_t Size() const { return _value->size(); }
    kwJsonNode Item(size_t index) const;
    void ForEachItem(const std::function<void(size_t index, const kwJsonNode& item)>& visit) const;

private:
    kwJsonNode Child(const nlohmann::json& value, std::string path) const;
    std::string MemberPath(const std::string& key) const;

    const nlohmann::json* _value;
    std::string _file;
    std::string _path;
};

// How a JSON file read went.
enum class kwJsonRead { Missing, Malformed, Ok };

// Reads and parses path. Missing when there is no such file (error untouched); Malformed
// with *error naming the file and what is wrong (unreadable, not a file, not JSON, not
// UTF-8).
kwJsonRead kwJsonReadFile(const std::string& path, nlohmann::json* doc, std::string* error);
// Parses text that came from origin (a file name, for messages). false with *error
// "<origin>: not valid JSON at byte N: <reason>".
bool kwJsonParse(const std::string& text, const std::string& origin, nlohmann::json* doc, std::string* error);

// Reads path and runs check on the document (check throws kwJsonError for a fault):
// Missing (check not run), Malformed with *error naming the file and the fault (not JSON,
// or what check found), or Ok.
kwJsonRead kwJsonLoadFile(const std::string& path, nlohmann::json* doc, std::string* error,
                          const std::function<void(const kwJsonNode& root)>& check);

// Runs a loader body: true when it finished, false with *error holding the fault's text
// when it threw kwJsonError or any other exception (one of the JSON library's own is given
// with origin in front).
bool kwJsonLoad(const std::string& origin, std::string* error, const std::function<void()>& body);

// Serialises doc as the suite's JSON files are written (indent, then a line feed unless
// told otherwise); false, with *text untouched, when it holds text that is not UTF-8.
bool kwJsonDump(const nlohmann::json& doc, std::string* text, int indent = 2, char indentChar = ' ',
                bool finalLineFeed = true);
