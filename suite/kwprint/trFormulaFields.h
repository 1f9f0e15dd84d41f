// The fields a formula may name: those of one record type of an open data file (or of a
// dictionary opened alone), typed for the formula language, and their values in the
// file's current record buffer.
#pragma once

#include "kwprint/trFormula.h"

// Numbers, dates (day and month, not month-year ones) and yes/no fields keep their type;
// every other field (texts, choices, times, phone numbers ...) is the text it is shown as.
trFormula::FieldTypes trFormulaFieldTypes(short file, short recordType);
trFormula::FieldValues trFormulaFieldValues(short file, short recordType);
