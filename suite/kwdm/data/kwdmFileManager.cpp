// Files of a view control.
#include "kwdm/data/kwdmFileManager.h"

#include "kwcommon/kwioFile.h"
#include "kwcommon/xio.h"

#include <cctype>

namespace {
std::string Upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}
} // namespace

kwdmFileManager::kwdmFileManager(short programNumber) : _programNumber(programNumber) {}

kwdmFileManager::~kwdmFileManager() { CloseAll(); }

short kwdmFileManager::Open(const std::string& abbrev) {
    const std::string key = Upper(abbrev);
    if (FileNum(key)) return XIO_OK;
    auto file = std::make_unique<kwioDataFile>();
    const short status = file->PromptedOpen(abbrev, _programNumber, "", 0, false, false, false);
    if (status == XIO_OK) _files[key] = std::move(file);
    return status;
}

short kwdmFileManager::FileNum(const std::string& abbrev) const {
    auto it = _files.find(Upper(abbrev));
    return it == _files.end() ? 0 : it->second->FileNum();
}

void kwdmFileManager::CloseAll() {
    for (auto& [abbrev, file] : _files) file->Close();
    _files.clear();
}
