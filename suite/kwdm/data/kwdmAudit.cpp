// Change stamps.
#include "kwdm/data/kwdmAudit.h"

#include "kwdm/data/kwdmQueryRow.h"

#include "kwcommon/values/kwAlpha.h"
#include "kwcommon/values/kwDate.h"
#include "kwcommon/values/kwTime.h"
#include "kwcommon/values/xd.h"
#include "kwcommon/xs.h"

kwdmAudit::kwdmAudit(std::string operatorColumn, std::string dateColumn, std::string timeColumn)
    : _operatorColumn(std::move(operatorColumn)), _dateColumn(std::move(dateColumn)),
      _timeColumn(std::move(timeColumn)) {}

kwdmAudit::~kwdmAudit() = default;

void kwdmAudit::Stamp(kwdmQueryRow& row) {
    if (row.IsNewRow()) return;
    xs_oper_def oper{};
    xs_get_oper_def(&oper);
    if (kwdmCell* cell = row.Data(_operatorColumn)) cell->SetValue(kwAlpha(oper.id));
    if (kwdmCell* cell = row.Data(_dateColumn)) cell->SetValue(kwDate(xd_get_date()));
    if (kwdmCell* cell = row.Data(_timeColumn)) cell->SetValue(kwTime(xd_get_time()));
}
