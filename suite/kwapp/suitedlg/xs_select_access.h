// The suite's operator selection: the company's operators in a list, one chosen for a
// command of the application (the responsible person of an issue, for example). The
// dialog is reached through a replaceable selector so tests and scripted runs can answer it.
#pragma once

#include "kwcommon/kwSeam.h"

#include <functional>
#include <string>

// 0 and the chosen operator's id and name; XIO_CANCELLED (15) when the user cancelled;
// XIO_NO_RECORD (10) when the company has no operators to choose from (the user is told).
// startId names the operator selected when the list opens (case-insensitive).
short xs_select_access(unsigned short command, const std::string& startId, std::string* id,
                       std::string* name);

// Stands in for the dialog while replaced (kwSeam.h).
using xs_access_selector = kwSeam<short(unsigned short command, const std::string& startId, std::string* id,
                                        std::string* name)>;
xs_access_selector& xs_access_selector_seam();
// The dialog itself (modal, on the active window).
short xs_standard_access_selector(unsigned short command, const std::string& startId,
                                  std::string* id, std::string* name);
