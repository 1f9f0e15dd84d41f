// The reminder mail of one responsible person: a subject that counts the issues, and a
// plain-text note listing the past-due issues and then those whose notify date has come,
// each with its number, a one-line description, status, urgency, dates and linked records.
// Custom fields carry the company's own names (its custom descriptions); the dates are in
// the company's date format.
#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>

class LinkedRecord;
struct qvReminderMailPlan;

// "Issue reminder for 05/01/2026: 2 past due, 1 notify date reached".
std::string qvReminderSubject(const qvReminderMailPlan& mail, std::chrono::year_month_day day);
// The note text, lines ended by CR LF.
std::string qvReminderNoteText(const qvReminderMailPlan& mail, std::chrono::year_month_day day);

// An issue's description as one line: line ends and runs of blanks become one blank, and
// a text longer than `characters` characters is cut after its last whole word within them
// (or in the middle of an overlong word) and ends in "...".
std::string qvReminderShortText(std::string_view text, size_t characters);

// One linked record as the notification mail lists it: application, record kind, key
// values and the record's description ("AP - Vendor: ACME01 Acme Supplies").
std::string qvReminderLinkLine(const LinkedRecord& link);
