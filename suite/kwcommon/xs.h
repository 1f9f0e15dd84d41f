// Operators of the company (operators.json) and operator security.
//
// operators.json:
// { "security": false,
//   "operators": [ { "id": "ADMIN", "name": "Pat Admin", "privilege": 1,
//                    "email": "pat@example.com" },
//                  { "id": "DANA", ..., "denied": { "QV": [7010, 7020] } }, ... ] }
// "denied" lists, per application code, the commands the operator may not use while
// operator security is on. A value of the wrong type makes the whole file malformed: it is
// logged, naming the file and the place, and reads as no operators.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#pragma pack(push, 1)
struct xs_oper_def {
    char id[30];         // 0  operator id, at most 20 characters
    char name[31];       // 30 operator name
    int16_t privilege;   // 61 1: privileged operator
    char email[129];     // 63 e-mail address
};
#pragma pack(pop)
static_assert(offsetof(xs_oper_def, name) == 30);
static_assert(offsetof(xs_oper_def, privilege) == 61);

// The current operator (kwCompany::CurrentOperatorId()). 0 found; 10 when the company
// has no such operator: the record then holds the id (cut to 20 bytes), the id as name,
// privilege 0 and no e-mail address. A missing or malformed operators.json has none.
short xs_get_oper_def(xs_oper_def* def);
// An operator by id (case-insensitive). 0 found, 10 none.
short xs_find_oper_def(const std::string& id, xs_oper_def* def);
// Every operator, in the order of the file (an id listed twice counts once, the first).
std::vector<xs_oper_def> xs_all_operators();
// Operator security on or off for the company.
bool xs_security_on();
// True when operators.json lists command under "denied" for application (its code,
// either case) in the entry of operator id.
bool xs_command_denied(const std::string& id, const std::string& application, short command);
