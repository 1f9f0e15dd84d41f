// Letting the user choose a file, or a report design, through the suite's file chooser
// (kclFileChooser.h), with names kept short when they lie in the expected folder.
#pragma once

#include <string>

// Chooses a file. An empty start folder becomes the path's folder, or the file kind's
// default place (kclGetDefaultPath of the extension). With keepFullPath the path becomes
// the chosen file's full path; otherwise the bare name when the file lies in the start
// folder, the full path when not. newFile: name a new file rather than pick one.
// 1 when a file was chosen, 0 when not (the path is unchanged).
short kclSelectFileFromList(std::string& path, const std::string& extension,
                            const std::string& filterName, const std::string& title,
                            std::string startFolder, short newFile, short keepFullPath);
// The same on the text of a field of a suite window; a choice is written back into the
// field, shown and marked changed.
short kclSelectFileFromList(short window, short field, const std::string& extension,
                            const std::string& filterName, const std::string& title,
                            std::string startFolder, short newFile, short keepFullPath);

// Chooses a report design, starting where the current design is found. A design chosen
// in the reports folder or the file control's "RPT" folder comes back as its bare name
// without ".RPT". 1 when chosen, 0 when not (the design is unchanged).
short kclSelectReportFromList(std::string& design, const std::string& title, short newFile,
                              short keepFullPath);
short kclSelectReportFromList(short window, short field, const std::string& title, short newFile,
                              short keepFullPath);
