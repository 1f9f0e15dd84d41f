// Fills a company's issue file with generated issues for benchmarks and tests: realistic
// statuses, urgencies and classifications from the company's custom lists, responsible
// persons (the company's operators, a few other people, and nobody), creation, due and
// notify dates, closing stamps for closed issues, and descriptions made of business
// phrases. Written straight into the record manager's SQLite file (its schema: table r1,
// one column per field) in one transaction, so a million issues take seconds, not the
// hours a million separate durable writes would.
//
// Every issue numbered n with n % 10 == 7 has the urgency "Critical" and no other does:
// a condition that one issue in ten meets.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct IssueGeneratorOptions {
    int64_t count = 10000;
    uint32_t seed = 1;
    // Empty: the company's operators' names, "Sam Porter", "Kim Nguyen" and nobody.
    std::vector<std::string> responsible;
};

// Adds the issues after the highest issue number of the current company's issue file
// (made when absent) and raises LASTID to the last one. false with a message in error.
bool GenerateIssues(const IssueGeneratorOptions& options, std::string* error);

// The path of the current company's issue file (made when absent); "" with error.
std::string IssueFilePath(std::string* error);
