// Range sets: the ranges of one print ("issues 10 to 25"), kept by handle and tested
// against the current record buffer of an open file. The print hub makes one set per
// print and hands it to the program at dialog start (event 101); the program fills it;
// the report-design printer reads the records inside it.
//
// A range names one field and a lower bound, an upper bound or both, ends included;
// a set holds at most one range per field and a record is inside the set when it is
// inside every range. A set without ranges takes every record.
//
// Filling, as a program does it:
//   xr_put_field(set, "ISSUE", XR_FROM, &lowest);   bounds are collected ...
//   xr_put_field(set, "ISSUE", XR_TO, &highest);
//   xr_put_range(set);                              ... and put together: each field
//                                                   named since the last xr_put_range gets
//                                                   the bounds given for it (replacing
//                                                   its earlier range); an end not given
//                                                   is open
// Values are compared as the field's type compares them (record-selection conditions,
// kwcommon/conditions/xc_conditions.h): numbers as numbers, dates as dates, text without
// regard to letter case. A lower bound above the upper one selects nothing.
#pragma once

#include "kwcommon/x_value_def.h"

#include <string>

enum xr_bound : short {
    XR_FROM = 1, // the lower end
    XR_TO = 2,   // the upper end
};

// One range as xr_get_range answers it.
struct xr_range_def {
    std::string field; // the field's name
    short fieldNumber = 0;
    bool hasFrom = false, hasTo = false;
    x_value_def from, to;
};

// Starts an empty set for the records of recordType in the open file. Answers its handle
// (positive), 0 when the file is not open or has no such record type.
short xr_init_range(short file, short recordType);
// Ends a set. 1 ended, 0 no such set.
short xr_term_range(short range);

// Collects one bound (see above). 1 taken; 0 for an unknown set, field (of another record
// type) or bound, or a value the field cannot hold.
short xr_put_field(short range, const char* field, short bound, const x_value_def* value);
// Puts the collected bounds into the set. 1 done (also when nothing was collected);
// 0 for an unknown set. The collected bounds are forgotten either way.
short xr_put_range(short range);
// Drops every range (and the bounds collected): the set takes every record again.
short xr_clear_range(short range);
// Drops the range of one field. 1 dropped, 0 none or an unknown set.
short xr_del_range(short range, const char* field);

// Ranges in the set (0 for an unknown set), and the one of a field: 1 given, 0 none.
short xr_range_count(short range);
short xr_get_range(short range, const char* field, xr_range_def* def);
short xr_get_range_at(short range, short index, xr_range_def* def);
// The file and record type the set was started for (0 for an unknown set).
short xr_range_file(short range);
short xr_range_record_type(short range);

// 1 when the current record buffer of the set's file is inside every range of the set
// (an unknown set takes every record).
short xr_meets_range(short range);
// For readers that walk a key: 1 when the current record lies above the upper end of the
// range of `field` (a walk in that field's ascending order may stop), else 0.
short xr_past_range(short range, const char* field);
