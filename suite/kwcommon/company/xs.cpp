// Operators of the company and operator security, read from operators.json.
#include "kwcommon/xs.h"

#include "kwcommon/company/CompanyJsonFile.h"
#include "kwcommon/kwStatus.h"
#include "kwcommon/x_value_def.h"

#include <cstring>

namespace {

constexpr size_t kOperatorIdMax = 20;

struct OperatorsData {
    bool security = false;
    std::vector<xs_oper_def> operators;
};

template <size_t N> void CopyCut(char (&target)[N], const std::string& value) {
    const std::string cut = x_utf8_cut(value, N - 1);
    std::memset(target, 0, N);
    std::memcpy(target, cut.data(), cut.size());
}

bool ReadText(const nlohmann::json& node, const char* member, const std::string& where,
              std::string* value, std::string* error) {
    auto it = node.find(member);
    if (it == node.end()) return true;
    if (!it->is_string()) {
        *error = where + "." + member + " must be a text";
        return false;
    }
    *value = it->get<std::string>();
    return true;
}

bool ParseOperators(const nlohmann::json& doc, OperatorsData* data, std::string* error) {
    if (!doc.is_object()) {
        *error = "it must be a JSON object";
        return false;
    }
    if (auto it = doc.find("security"); it != doc.end()) {
        if (!it->is_boolean()) {
            *error = "\"security\" must be true or false";
            return false;
        }
        data->security = it->get<bool>();
    }
    auto list = doc.find("operators");
    if (list == doc.end()) return true;
    if (!list->is_array()) {
        *error = "\"operators\" must be a list";
        return false;
    }
    for (size_t i = 0; i < list->size(); ++i) {
        const auto& node = (*list)[i];
        const std::string where = "operators[" + std::to_string(i) + "]";
        if (!node.is_object()) {
            *error = where + " must be an object";
            return false;
        }
        std::string id, name, email;
        if (!ReadText(node, "id", where, &id, error) ||
            !ReadText(node, "name", where, &name, error) ||
            !ReadText(node, "email", where, &email, error))
            return false;
        if (id.empty() || id.size() > kOperatorIdMax) {
            *error = where + ".id must have 1 to " + std::to_string(kOperatorIdMax) + " characters";
            return false;
        }
        // A cut address would send mail to someone else; refuse it instead.
        if (email.size() >= sizeof(xs_oper_def::email)) {
            *error = where + ".email is longer than " +
                     std::to_string(sizeof(xs_oper_def::email) - 1) + " characters";
            return false;
        }
        long privilege = 0;
        if (auto it = node.find("privilege"); it != node.end()) {
            if (!it->is_number_integer() || it->get<long>() < 0 || it->get<long>() > 32767) {
                *error = where + ".privilege must be a whole number from 0 to 32767";
                return false;
            }
            privilege = it->get<long>();
        }
        bool duplicate = false;
        for (const auto& known : data->operators)
            if (kwcompany::EqualsNoCase(known.id, id)) duplicate = true;
        if (duplicate) continue;
        xs_oper_def def{};
        CopyCut(def.id, id);
        CopyCut(def.name, name);
        CopyCut(def.email, email);
        def.privilege = static_cast<int16_t>(privilege);
        data->operators.push_back(def);
    }
    return true;
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
    CopyCut(def->id, cut);
    CopyCut(def->name, cut);
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
