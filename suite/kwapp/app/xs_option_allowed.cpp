// Rights are read from the company's operators file each time: an administrator changing
// them takes effect at the next check, without restarting the program.
#include "kwapp/app/xs_option_allowed.h"

#include "kwcommon/kwCompany.h"
#include "kwcommon/xs.h"

#include <nlohmann/json.hpp>

#include <fstream>
#include <sstream>
#include <strings.h>

namespace {
bool SameText(const std::string& a, const std::string& b) {
    return a.size() == b.size() && ::strncasecmp(a.c_str(), b.c_str(), a.size()) == 0;
}

// The operator's "denied" list for the application; a malformed file denies nothing more
// than the data library's own reading of it does.
bool ListedAsDenied(const std::string& operatorId, const std::string& application, short command) {
    std::ifstream in(kwCompany::Path("operators.json"));
    if (!in) return false;
    std::stringstream text;
    text << in.rdbuf();
    const nlohmann::json doc = nlohmann::json::parse(text.str(), nullptr, false);
    if (doc.is_discarded() || !doc.is_object()) return false;
    auto operators = doc.find("operators");
    if (operators == doc.end() || !operators->is_array()) return false;
    for (const auto& entry : *operators) {
        if (!entry.is_object()) continue;
        auto id = entry.find("id");
        if (id == entry.end() || !id->is_string() || !SameText(id->get<std::string>(), operatorId))
            continue;
        auto denied = entry.find("denied");
        if (denied == entry.end() || !denied->is_object()) return false;
        for (auto it = denied->begin(); it != denied->end(); ++it) {
            if (!SameText(it.key(), application) || !it->is_array()) continue;
            for (const auto& number : *it)
                if (number.is_number_integer() && number.get<long>() == command) return true;
        }
        return false; // the first entry of an id is the one that counts
    }
    return false;
}
} // namespace

short xs_option_allowed(short command, const char* application) {
    if (!xs_security_on()) return 1;
    xs_oper_def oper{};
    if (xs_get_oper_def(&oper) != 0) return 0;
    if (oper.privilege == 1) return 1;
    return ListedAsDenied(oper.id, application ? application : "", command) ? 0 : 1;
}
