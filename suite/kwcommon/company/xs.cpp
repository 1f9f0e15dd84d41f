// Operators of the company and operator security, read from operators.json.
#include "kwcommon/xs.h"

#include "kwcommon/company/CompanyJsonFile.h"
#include "kwcommon/kwStatus.h"
#include "kwcommon/x_value_def.h"

#include <cstring>
#include <map>
#include <set>

namespace {

constexpr size_t kOperatorIdMax = 20;

// Commands an operator may not use, by application code (upper case).
using DeniedCommands = std::map<std::string, std::set<short>>;

struct OperatorsData {
    bool security = false;
    std::vector<xs_oper_def> operators;
    std::vector<DeniedCommands> denied; // one per operator
};

DeniedCommands ParseDenied(const kwJsonNode& node) {
    DeniedCommands denied;
    node.ForEachMember([&](const std::string& application, const kwJsonNode& commands) {
        std::set<short>& numbers = denied[kwcompany::Upper(application)];
        commands.ForEachItem([&](size_t, const kwJsonNode& command) {
            numbers.insert(static_cast<short>(command.Whole(0, 32767)));
        });
    });
    return denied;
}

void ParseOperators(const kwJsonNode& root, OperatorsData* data) {
    root.ExpectObject();
    data->security = root.Flag("security", false);
    const auto list = root.Find("operators");
    if (!list) return;
    list->ForEachItem([&](size_t, const kwJsonNode& node) {
        node.ExpectObject();
        const kwJsonNode idNode = node.Member("id");
        const std::string id = idNode.Text();
        if (id.empty() || id.size() > kOperatorIdMax)
            idNode.Fail("must have 1 to " + std::to_string(kOperatorIdMax) + " characters");
        const std::string name = node.Text("name", "");
        const std::string email = node.Text("email", "");
        // A cut address would send mail to someone else; refuse it instead.
        if (email.size() >= sizeof(xs_oper_def::email))
            node.Member("email").Fail("is longer than " + std::to_string(sizeof(xs_oper_def::email) - 1) +
                                      " characters");
        const auto privilege = node.Whole("privilege", 0, 0, 32767);
        DeniedCommands denied;
        if (const auto deniedNode = node.Find("denied")) denied = ParseDenied(*deniedNode);
        for (const auto& known : data->operators)
            if (kwcompany::EqualsNoCase(known.id, id)) return; // the first entry of an id counts
        xs_oper_def def{};
        kwcompany::CopyCut(def.id, id);
        kwcompany::CopyCut(def.name, name);
        kwcompany::CopyCut(def.email, email);
        def.privilege = static_cast<int16_t>(privilege);
        data->operators.push_back(def);
        data->denied.push_back(std::move(denied));
    });
}

kwcompany::CachedCompanyFile<OperatorsData>& OperatorsFile() {
    static kwcompany::CachedCompanyFile<OperatorsData> file("operators.json", ParseOperators);
    return file;
}

} // namespace

short xs_get_oper_def(xs_oper_def* def) {
    if (!def) return XIO_FAILED;
    const std::string& id = kwCompany::CurrentOperatorId();
    if (xs_find_oper_def(id, def) == XIO_OK) return XIO_OK;
    std::memset(def, 0, sizeof(*def));
    const std::string cut = x_utf8_cut(id, kOperatorIdMax);
    kwcompany::CopyCut(def->id, cut);
    kwcompany::CopyCut(def->name, cut);
    return XIO_NO_RECORD;
}

short xs_find_oper_def(const std::string& id, xs_oper_def* def) {
    const auto data = OperatorsFile().Get();
    for (const auto& known : data->operators) {
        if (kwcompany::EqualsNoCase(known.id, id)) {
            if (def) *def = known;
            return XIO_OK;
        }
    }
    return XIO_NO_RECORD;
}

std::vector<xs_oper_def> xs_all_operators() {
    return OperatorsFile().Get()->operators;
}

bool xs_security_on() {
    return OperatorsFile().Get()->security;
}

bool xs_command_denied(const std::string& id, const std::string& application, short command) {
    const auto data = OperatorsFile().Get();
    for (size_t i = 0; i < data->operators.size(); ++i) {
        if (!kwcompany::EqualsNoCase(data->operators[i].id, id)) continue;
        const auto commands = data->denied[i].find(kwcompany::Upper(application));
        return commands != data->denied[i].end() && commands->second.count(command) > 0;
    }
    return false;
}
