// Stores messages in the company's outbox folder when no mail server is set: one RFC 5322
// file per message, each appearing whole or not at all.
#pragma once

#include <string>

class OutboxWriter {
public:
    explicit OutboxWriter(std::string folder) : _folder(std::move(folder)) {}

    // Stores the message under a new "*.eml" name through kwStoredFile (written beside,
    // flushed, placed without replacing); the folder is made when missing. false (nothing
    // left behind) with the reason in error.
    bool Write(const std::string& message, std::string* path, std::string* error) const;

private:
    std::string _folder;
};
