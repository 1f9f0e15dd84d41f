// The two-letter abbreviation of the running application ("QV"), which coded error
// messages carry in front of their number ("  [QV0201]").
#pragma once

#include <string>

// "QV" until the program sets another.
std::string kwAppAbbreviation();
void kwSetAppAbbreviation(const std::string& abbreviation);
