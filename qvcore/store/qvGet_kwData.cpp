// Typed values from field definitions.
#include "qvcore/store/qvGet_kwData.h"

#include "kwcommon/values/kwAlpha.h"
#include "kwcommon/values/kwBool.h"
#include "kwcommon/values/kwChoice.h"
#include "kwcommon/values/kwDate.h"
#include "kwcommon/values/kwDateMonthYear.h"
#include "kwcommon/values/kwDouble.h"
#include "kwcommon/values/kwNum.h"
#include "kwcommon/values/kwPhone.h"
#include "kwcommon/values/kwSSNum.h"
#include "kwcommon/values/kwText.h"
#include "kwcommon/values/kwTime.h"
#include "kwcommon/xk.h"

std::unique_ptr<kwData> qvGet_kwData(const xio_fld_def& def) {
    std::unique_ptr<kwData> value;
    const bool caseSensitive = !def.caseFlag;
    switch (def.type) {
    case XIO_TEXT:
        if (def.longText) {
            value = std::make_unique<kwText>(0, caseSensitive);
        } else {
            auto alpha = std::make_unique<kwAlpha>(0, caseSensitive);
            if (def.listFlag || def.listOnly) alpha->Set(xk_get_custom_list_default(def.kind));
            value = std::move(alpha);
        }
        break;
    case XIO_NUMBER:
        if (def.decimals > 0) value = std::make_unique<kwDouble>(0.0, def.decimals);
        else value = std::make_unique<kwNum<long>>(0);
        break;
    case XIO_YESNO: value = std::make_unique<kwBool>(false); break;
    case XIO_DATE:
        if (def.monthYear) value = std::make_unique<kwDateMonthYear>();
        else value = std::make_unique<kwDate>();
        break;
    case XIO_TIME: value = std::make_unique<kwTime>(); break;
    case XIO_PHONE: value = std::make_unique<kwPhone>(); break;
    case XIO_SSN: value = std::make_unique<kwSSNum>(0); break;
    case 7:
    case 8:
    case 9: value = std::make_unique<kwChoice>(std::vector<std::string>{}, 1); break;
    default: return nullptr;
    }
    if (def.defaultItem != 0) value->Set(std::to_string(def.defaultItem));
    return value;
}
