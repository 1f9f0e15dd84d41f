// The framework's message box for callbacks: the text with a caption, shown through the
// suite's message box (so tests answer it the same way). style: 64 information, 48
// warning, 16 error, 32 or 36 question (Yes/No), 1 OK/Cancel. Answers the suite's answer.
#pragma once

#include <string>

short kwdmMessageBox(const std::string& text, const std::string& title, unsigned style);
