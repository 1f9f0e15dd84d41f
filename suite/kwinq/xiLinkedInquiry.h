// Running an issue's linked inquiry (its INQNAME: the application's code, the separator,
// the inquiry's name) through the inquiry library loaded by name. Header only: the caller
// does not link the library; it hands in the look-up of the loaded library's functions
// (null when "KWINQ" would not load) and the maker of the values for the inquiry's driving
// record. Every failure is told with the inquiry messages and changes nothing.
#pragma once

#include "kwinq/xi.h"

#include "kwcommon/x_message.h"
#include "kwcommon/x_value_def.h"

#include <functional>
#include <string>
#include <vector>

// A function of the loaded library by name, null when it lacks it.
using xiLookup = std::function<void*(const char* name)>;
// The values of the focused record for a driving record (file abbreviation, record type),
// in the driving record's field order; empty when there are none to pass.
using xiDrivingValues = std::function<std::vector<xi_value_def>(const std::string& file, short recordType)>;

// Answers xi_run_inquiry's result, 0 after a message.
inline short xiRunLinkedInquiry(const std::string& inqname, const std::string& separator, short programNumber,
                                const xiLookup& lookup, const xiDrivingValues& values) {
    constexpr const char* kTitle = "Inquiry";
    if (inqname.size() <= 5) {
        xw_message_box(XW_INFO, kTitle, "No valid inquiry specified.");
        return 0;
    }
    // The code before the separator (its first character marks it), the name after it.
    const size_t at = separator.empty() ? std::string::npos : inqname.find(separator.front());
    const std::string application = x_utf8_cut(inqname.substr(0, at == std::string::npos ? inqname.size() : at), 2);
    const std::string name =
        at == std::string::npos || at + separator.size() > inqname.size() ? std::string()
                                                                         : x_utf8_cut(inqname.substr(at + separator.size()), 30);
    if (!lookup) {
        xw_message_box(XW_INFO, kTitle, "Unable to load KWINQ.DLL.");
        return 0;
    }
    const auto run = reinterpret_cast<xi_run_inquiry_proc>(lookup("xi_run_inquiry"));
    if (!run) {
        xw_message_box(XW_INFO, kTitle, "Unable to run inquiry.");
        return 0;
    }
    std::vector<xi_value_def> passed;
    if (const auto driving = reinterpret_cast<xi_driving_record_proc>(lookup("xi_driving_record"))) {
        char file[4] = {};
        short recordType = 0;
        if (driving(application.c_str(), name.c_str(), file, &recordType, sizeof file) != 0 && values)
            passed = values(file, recordType);
    }
    return run(application.c_str(), name.c_str(), programNumber, passed.empty() ? nullptr : passed.data(),
               static_cast<short>(passed.size()), 31);
}
