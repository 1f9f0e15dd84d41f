// The file chooser behind kclSelectFileFromList: the suite's dialogs for choosing an
// existing file or naming a new one. Replaceable, so tests (and programs without a
// display) can answer it.
#pragma once

#include "kwcommon/kwSeam.h"

#include <functional>
#include <string>

struct kclFileChoice {
    bool newFile = false;    // name a new file (it need not exist) rather than pick one
    std::string title;       // window title
    std::string extension;   // without the dot: "rpt"
    std::string filterName;  // "Report Designs"
    std::string path;        // the current name, offered as the selection
    std::string startFolder; // where the chooser opens; may be a pattern ("*.rpt") or empty
};

// 0 and the chosen file's full path in chosen; any other status (15: cancelled) when
// nothing was chosen.
using kclFileChooser = kwSeam<short(const kclFileChoice& choice, std::string* chosen)>;

// Shows the chooser in use.
short kclChooseFile(const kclFileChoice& choice, std::string* chosen);
// Stands in for the standard dialog while replaced.
kclFileChooser& kclFileChooserSeam();
// The standard dialog (modal, on the active window).
short kclStandardFileChooser(const kclFileChoice& choice, std::string* chosen);
