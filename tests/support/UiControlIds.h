// The control ids a Qt Designer template gives its widgets (the dynamic property
// "ctrlId"), read from the .ui file's XML, so a test can hold them against the ids the code
// addresses the controls by.
#pragma once

#include <map>
#include <string>

// Widget name -> ctrlId of every widget of the template that has one. path is relative to
// the source tree. A file that cannot be read or parsed fails the calling test and gives an
// empty map.
std::map<std::string, int> UiControlIds(const std::string& path);
