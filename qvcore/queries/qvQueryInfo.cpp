// Read-only access to the saved queries.
#include "qvcore/queries/qvQueryInfo.h"

#include <cstdio>
#include <cstring>

namespace {
constexpr short kReadOnly = 1;
constexpr short kFailSilently = 3;
} // namespace

qvQueryInfo::qvQueryInfo(short fileNumber) {
    std::memset(&_info, 0, sizeof(_info));
    _info.handle = -1;
    _info.fileNumber = fileNumber;
    _info.lockFlag = 1;
    _qfi_build_path_name(&_info);
}

qvQueryInfo::~qvQueryInfo() {
    _qfi_free_query_cond(&_info.query);
    _qfi_unlock(&_info);
}

std::vector<std::string>& qvQueryInfo::GetQueryList() {
    _queryNames.clear();
    if (!_qfi_lock(&_info, kReadOnly, kFailSilently)) return _queryNames;
    if (_info.header.count > 0) {
        query_dir_def* directory = nullptr;
        _qfi_read_dir(&_info, &directory);
        for (int i = 0; i < _info.header.count; ++i) {
            _queryNames.emplace_back(directory[i].name,
                                     strnlen(directory[i].name, QFI_NAME_SIZE - 1));
        }
        _qfi_free(directory);
    }
    _qfi_unlock(&_info);
    return _queryNames;
}

short qvQueryInfo::GetOrder(const std::string& name) {
    if (!_GetQueryInfo(name, 0)) return 0;
    return _info.query.order;
}

short qvQueryInfo::GetCondInfo(const std::string& name, xc_cond_def** conditions) {
    if (!_GetQueryInfo(name, 1)) return 0;
    const short count = _info.query.condCount;
    if (count <= 0 || !_info.query.conditions) {
        _qfi_free_query_cond(&_info.query);
        return 0;
    }
    const auto size = static_cast<unsigned short>(count * XC_COND_SIZE);
    auto* copy = static_cast<xc_cond_def*>(_qfi_alloc(size, 1));
    std::memcpy(copy, _info.query.conditions, size);
    _qfi_free_query_cond(&_info.query);
    *conditions = copy;
    return count;
}

short qvQueryInfo::_GetQueryInfo(const std::string& name, short withConditions) {
    if (name.empty() || name == NoneName) return 0;
    // The buffer may still hold the conditions of an earlier lookup.
    _qfi_free_query_cond(&_info.query);
    if (!_qfi_lock(&_info, kReadOnly, kFailSilently)) return 0;
    short found = 0;
    if (_info.header.count > 0) {
        found =
            _qfi_read_query(&_info, name.c_str(), &_info.query, nullptr, withConditions) ? 1 : 0;
    }
    _qfi_unlock(&_info);
    return found;
}
