// The audit object of a view control: stamps every change it writes to an existing record
// with the current operator, today's date and the time, in three columns of the node
// (by default OPERCHG, DATECHG and TIMECHG; a column the node lacks is left out).
#pragma once

#include <string>

class kwdmQueryRow;

class kwdmAudit {
public:
    explicit kwdmAudit(std::string operatorColumn = "OPERCHG", std::string dateColumn = "DATECHG",
                       std::string timeColumn = "TIMECHG");
    virtual ~kwdmAudit();
    kwdmAudit(const kwdmAudit&) = delete;
    kwdmAudit& operator=(const kwdmAudit&) = delete;

    // Called just before the focused row's changes to an existing record are written.
    virtual void Stamp(kwdmQueryRow& row);

private:
    std::string _operatorColumn, _dateColumn, _timeColumn;
};
