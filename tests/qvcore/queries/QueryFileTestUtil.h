// Helpers shared by the query-file tests: raw file bytes, little-endian fields, queries
// with numbered conditions.
#pragma once

#include "qvcore/queries/qvQueryFile.h"

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

namespace qftest {

using Bytes = std::vector<unsigned char>;

inline Bytes ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

inline void WriteBytes(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

inline void Put16(Bytes& b, int16_t v) {
    b.push_back(static_cast<unsigned char>(v & 0xFF));
    b.push_back(static_cast<unsigned char>((v >> 8) & 0xFF));
}

inline void Put32(Bytes& b, int32_t v) {
    for (int i = 0; i < 4; ++i)
        b.push_back(static_cast<unsigned char>((v >> (8 * i)) & 0xFF));
}

inline void PutText(Bytes& b, const std::string& text, size_t width) {
    for (size_t i = 0; i < width; ++i)
        b.push_back(i < text.size() ? static_cast<unsigned char>(text[i]) : 0);
}

inline int32_t Get32(const Bytes& b, size_t at) {
    return static_cast<int32_t>(b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) |
                                (static_cast<uint32_t>(b[at + 3]) << 24));
}

inline int16_t Get16(const Bytes& b, size_t at) {
    return static_cast<int16_t>(b[at] | (b[at + 1] << 8));
}

inline std::string GetText(const Bytes& b, size_t at, size_t width) {
    std::string text;
    for (size_t i = 0; i < width && b[at + i]; ++i)
        text += static_cast<char>(b[at + i]);
    return text;
}

// A condition whose bytes tell it apart: the field number is the marker, text1 says so.
inline xc_cond_def MarkedCondition(int marker) {
    xc_cond_def c;
    std::memset(&c, 0, sizeof(c));
    c.field = static_cast<int16_t>(marker);
    c.comparison = 1;
    std::snprintf(c.text1, sizeof(c.text1), "value %d", marker);
    c.number1 = marker * 1.5;
    return c;
}

// Info for a bracket on the current company's query file, lock flag on.
inline void InitInfo(query_file_info* info, short fileNumber = 7020) {
    std::memset(info, 0, sizeof(*info));
    info->handle = -1;
    info->fileNumber = fileNumber;
    info->lockFlag = 1;
    _qfi_build_path_name(info);
}

// Saves (creates or rewrites) a query with the given conditions through the writer's calls.
inline short SaveConditions(query_file_info* info, const std::string& name, int16_t order,
                            std::vector<xc_cond_def> conds) {
    const int conditions = static_cast<int>(conds.size());
    std::memset(&info->query, 0, sizeof(info->query));
    std::snprintf(info->query.name, sizeof(info->query.name), "%s", name.c_str());
    info->query.order = order;
    std::memcpy(info->query.version, "1.3", 4);
    info->query.condCount = static_cast<int16_t>(conditions);
    info->query.conditions = conds.empty() ? nullptr : conds.data();
    int32_t length = 0;
    _qfi_get_query_size(&info->query, &length);
    short result = _qfi_rewrite_existing_query(info, name.c_str(), length);
    info->query.conditions = nullptr;
    info->query.condCount = 0;
    return result;
}

// Saves a query with `conditions` marked conditions starting at firstMarker.
inline short SaveQuery(query_file_info* info, const std::string& name, int16_t order,
                       int conditions, int firstMarker = 1) {
    std::vector<xc_cond_def> conds;
    for (int i = 0; i < conditions; ++i)
        conds.push_back(MarkedCondition(firstMarker + i));
    return SaveConditions(info, name, order, std::move(conds));
}

} // namespace qftest
