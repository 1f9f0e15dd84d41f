// The typed value that a dictionary field definition calls for.
#pragma once

#include "kwcommon/values/kwData.h"
#include "kwcommon/xio_dict.h"

#include <memory>

// An empty value of the field's kind, owned by the caller; none for an unknown type code.
std::unique_ptr<kwData> qvGet_kwData(const xio_fld_def& def);
