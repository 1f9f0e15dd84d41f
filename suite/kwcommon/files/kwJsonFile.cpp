// Checked reading of the suite's JSON files: faults name the file and the JSON path.
#include "kwcommon/kwJsonFile.h"

#include "kwcommon/kwStoredFile.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <sys/stat.h>

namespace {

// The value as a user would recognise it in the file, cut short.
std::string Shown(const nlohmann::json& value) {
    std::string text;
    try {
        text = value.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    } catch (const std::exception&) {
        return "this value";
    }
    if (text.size() > 40) text = text.substr(0, 37) + "...";
    return text;
}

bool PlainKey(const std::string& key) {
    if (key.empty()) return false;
    for (unsigned char c : key)
        if (!std::isalnum(c) && c != '_') return false;
    return true;
}

// The JSON library's message without its tag ("[json.exception.parse_error.101] ").
std::string Untagged(const char* what) {
    std::string reason = what;
    if (!reason.empty() && reason[0] == '[') {
        const size_t close = reason.find("] ");
        if (close != std::string::npos) reason.erase(0, close + 2);
    }
    return reason;
}

} // namespace

kwJsonNode::kwJsonNode(const nlohmann::json& value, std::string file, std::string path)
    : _value(&value), _file(std::move(file)), _path(std::move(path)) {}

std::string kwJsonNode::Where() const { return _path.empty() ? _file : _file + ": " + _path; }

void kwJsonNode::Fail(const std::string& what) const {
    throw kwJsonError(_file + ": " + (_path.empty() ? "the file" : _path) + " " + what);
}

const kwJsonNode& kwJsonNode::ExpectObject() const {
    if (!_value->is_object()) Fail("must be a JSON object, not " + Shown(*_value));
    return *this;
}

const kwJsonNode& kwJsonNode::ExpectArray() const {
    if (!_value->is_array()) Fail("must be a list, not " + Shown(*_value));
    return *this;
}

std::string kwJsonNode::Text() const {
    if (!_value->is_string()) Fail("must be a text, not " + Shown(*_value));
    return _value->get<std::string>();
}

bool kwJsonNode::Flag() const {
    if (!_value->is_boolean()) Fail("must be true or false, not " + Shown(*_value));
    return _value->get<bool>();
}

int64_t kwJsonNode::Whole(int64_t low, int64_t high) const {
    const std::string range = " from " + std::to_string(low) + " to " + std::to_string(high);
    if (!_value->is_number_integer()) Fail("must be a whole number" + range + ", not " + Shown(*_value));
    // Unsigned values beyond the signed range are out of range, not wrapped round.
    if (_value->is_number_unsigned() && _value->get<uint64_t>() > static_cast<uint64_t>(high))
        Fail("must be a whole number" + range + ", not " + Shown(*_value));
    const int64_t number = _value->get<int64_t>();
    if (number < low || number > high) Fail("must be a whole number" + range + ", not " + Shown(*_value));
    return number;
}

double kwJsonNode::Number() const {
    if (!_value->is_number() || !std::isfinite(_value->get<double>()))
        Fail("must be a number, not " + Shown(*_value));
    return _value->get<double>();
}

std::string kwJsonNode::MemberPath(const std::string& key) const {
    if (PlainKey(key)) return _path.empty() ? key : _path + "." + key;
    return _path + "[" + nlohmann::json(key).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + "]";
}

kwJsonNode kwJsonNode::Child(const nlohmann::json& value, std::string path) const {
    return kwJsonNode(value, _file, std::move(path));
}

std::optional<kwJsonNode> kwJsonNode::Find(const char* key) const {
    ExpectObject();
    const auto it = _value->find(key);
    if (it == _value->end()) return std::nullopt;
    return Child(*it, MemberPath(key));
}

kwJsonNode kwJsonNode::Member(const char* key) const {
    if (auto member = Find(key)) return *member;
    Fail(std::string("has no \"") + key + "\"");
}

std::string kwJsonNode::Text(const char* key, const std::string& fallback) const {
    const auto member = Find(key);
    return member ? member->Text() : fallback;
}

bool kwJsonNode::Flag(const char* key, bool fallback) const {
    const auto member = Find(key);
    return member ? member->Flag() : fallback;
}

int64_t kwJsonNode::Whole(const char* key, int64_t fallback, int64_t low, int64_t high) const {
    const auto member = Find(key);
    return member ? member->Whole(low, high) : fallback;
}

void kwJsonNode::ForEachMember(
    const std::function<void(const std::string& name, const kwJsonNode& value)>& visit) const {
    ExpectObject();
    for (auto it = _value->begin(); it != _value->end(); ++it)
        visit(it.key(), Child(it.value(), MemberPath(it.key())));
}

kwJsonNode kwJsonNode::Item(size_t index) const {
    ExpectArray();
    return Child(_value->at(index), _path + "[" + std::to_string(index) + "]");
}

void kwJsonNode::ForEachItem(const std::function<void(size_t index, const kwJsonNode& item)>& visit) const {
    ExpectArray();
    for (size_t i = 0; i < _value->size(); ++i)
        visit(i, Child((*_value)[i], _path + "[" + std::to_string(i) + "]"));
}

bool kwJsonParse(const std::string& text, const std::string& origin, nlohmann::json* doc, std::string* error) {
    try {
        *doc = nlohmann::json::parse(text);
        return true;
    } catch (const nlohmann::json::parse_error& e) {
        if (error) *error = origin + ": not valid JSON at byte " + std::to_string(e.byte) + ": " + Untagged(e.what());
    } catch (const std::exception& e) {
        if (error) *error = origin + ": not valid JSON: " + Untagged(e.what());
    }
    return false;
}

kwJsonRead kwJsonReadFile(const std::string& path, nlohmann::json* doc, std::string* error) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        if (errno == ENOENT || errno == ENOTDIR) return kwJsonRead::Missing;
        if (error) *error = path + ": cannot be read: " + std::strerror(errno);
        return kwJsonRead::Malformed;
    }
    if (!S_ISREG(info.st_mode)) {
        if (error) *error = path + ": it is not a file";
        return kwJsonRead::Malformed;
    }
    std::string text;
    if (!kwStoredFile::Read(path, &text, error)) return kwJsonRead::Malformed;
    return kwJsonParse(text, path, doc, error) ? kwJsonRead::Ok : kwJsonRead::Malformed;
}

kwJsonRead kwJsonLoadFile(const std::string& path, nlohmann::json* doc, std::string* error,
                          const std::function<void(const kwJsonNode& root)>& check) {
    const kwJsonRead result = kwJsonReadFile(path, doc, error);
    if (result != kwJsonRead::Ok) return result;
    return kwJsonLoad(path, error, [&] { check(kwJsonNode(*doc, path)); }) ? kwJsonRead::Ok : kwJsonRead::Malformed;
}

bool kwJsonLoad(const std::string& origin, std::string* error, const std::function<void()>& body) {
    try {
        body();
        return true;
    } catch (const kwJsonError& e) {
        if (error) *error = e.what();
    } catch (const nlohmann::json::exception& e) {
        if (error) *error = origin + ": " + Untagged(e.what());
    } catch (const std::exception& e) {
        if (error) *error = origin + ": " + e.what();
    }
    return false;
}

bool kwJsonDump(const nlohmann::json& doc, std::string* text, int indent, char indentChar, bool finalLineFeed) {
    try {
        std::string dumped = doc.dump(indent, indentChar);
        if (finalLineFeed) dumped += '\n';
        *text = std::move(dumped);
        return true;
    } catch (const nlohmann::json::exception&) {
        return false;
    }
}
