// Turns recipient names into addresses: an operator of the current company named by id or
// name gives that operator's e-mail address; text that is an address is taken as one.
#pragma once

#include "MailAddress.h"

#include <string>
#include <string_view>
#include <vector>

struct ResolvedRecipients {
    std::vector<MailAddress> addresses;
    std::vector<std::string> unknown;   // entries that name no operator and are no address
    std::vector<std::string> ambiguous; // names shared by operators with different addresses

    bool Complete() const { return unknown.empty() && ambiguous.empty(); }
    void Append(const ResolvedRecipients& other);
};

class RecipientResolver {
public:
    // One recipient's text: an address, an operator's id or name, or several of them
    // separated by ";" (or ","). The whole text is tried first, so a name that itself holds
    // a comma still resolves.
    static ResolvedRecipients Resolve(std::string_view text);

    // One entry, not split.
    static ResolvedRecipients ResolveOne(std::string_view entry);
};
