// Recipient names resolved against the company's operators.
#include "RecipientResolver.h"

#include "kwcommon/x_text.h"
#include "kwcommon/xs.h"

namespace {
bool EqualsNoCase(std::string_view a, std::string_view b) { return x_equal_nocase(a, b); }

std::vector<std::string_view> Split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    size_t start = 0;
    while (true) {
        const size_t end = text.find(separator, start);
        parts.push_back(
            text.substr(start, end == std::string_view::npos ? text.npos : end - start));
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
    return parts;
}
} // namespace

void ResolvedRecipients::Append(const ResolvedRecipients& other) {
    addresses.insert(addresses.end(), other.addresses.begin(), other.addresses.end());
    unknown.insert(unknown.end(), other.unknown.begin(), other.unknown.end());
    ambiguous.insert(ambiguous.end(), other.ambiguous.begin(), other.ambiguous.end());
}

ResolvedRecipients RecipientResolver::ResolveOne(std::string_view entry) {
    ResolvedRecipients result;
    entry = MailTrim(entry);
    if (entry.empty()) return result;

    if (std::optional<MailAddress> mailbox = MailAddress::Parse(entry)) {
        result.addresses.push_back(*mailbox);
        return result;
    }

    // An operator id is unique; a name is matched only when no id matched.
    xs_oper_def oper{};
    if (entry.size() <= 20 && xs_find_oper_def(std::string(entry), &oper) == 0) {
        if (MailAddress::IsValidAddress(oper.email)) {
            result.addresses.push_back({oper.name, oper.email});
        } else {
            result.unknown.emplace_back(entry);
        }
        return result;
    }

    std::vector<MailAddress> matches;
    for (const xs_oper_def& candidate : xs_all_operators()) {
        if (!EqualsNoCase(MailTrim(candidate.name), entry)) continue;
        if (!MailAddress::IsValidAddress(candidate.email)) continue;
        bool known = false;
        for (const MailAddress& match : matches)
            known = known || EqualsNoCase(match.address, candidate.email);
        if (!known) matches.push_back({candidate.name, candidate.email});
    }
    if (matches.size() == 1) {
        result.addresses.push_back(matches.front());
    } else if (matches.size() > 1) {
        result.ambiguous.emplace_back(entry);
    } else {
        result.unknown.emplace_back(entry);
    }
    return result;
}

ResolvedRecipients RecipientResolver::Resolve(std::string_view text) {
    ResolvedRecipients whole = ResolveOne(text);
    if (whole.Complete()) return whole;

    ResolvedRecipients result;
    for (std::string_view part : Split(text, ';')) {
        ResolvedRecipients one = ResolveOne(part);
        if (!one.Complete() && part.find(',') != std::string_view::npos) {
            ResolvedRecipients pieces;
            for (std::string_view piece : Split(part, ','))
                pieces.Append(ResolveOne(piece));
            one = pieces;
        }
        result.Append(one);
    }
    return result;
}
