// The outbox: a delivery program or a person picks the files up, so a file must never be
// seen half-written: the stored-file helper writes it beside and places it under a new
// name without replacing a message already waiting.
#include "OutboxWriter.h"

#include "kwcommon/kwStoredFile.h"

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <random>

namespace {
std::string RandomSuffix() {
    static std::random_device random;
    std::uniform_int_distribution<unsigned> digits;
    char text[16];
    std::snprintf(text, sizeof text, "%08x", digits(random));
    return text;
}

std::string Timestamp() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
    return text;
}
} // namespace

bool OutboxWriter::Write(const std::string& message, std::string* path, std::string* error) const {
    std::error_code ec;
    std::filesystem::create_directories(_folder, ec);
    if (ec) {
        if (error) *error = "cannot make the outbox folder " + _folder + ": " + ec.message();
        return false;
    }
    // A name already taken (the same second, the same random part) is simply tried again.
    for (int attempt = 0; attempt < 16; ++attempt) {
        const std::string final = _folder + "/" + Timestamp() + "-" + RandomSuffix() + ".eml";
        if (kwStoredFile::Write(final, message, error, 0644, kwStoredFile::Place::NoReplace)) {
            if (path) *path = final;
            return true;
        }
        if (errno != EEXIST) return false;
    }
    if (error) *error = "cannot find a free name in " + _folder;
    return false;
}
