// The suite's message box and wait indicator. Every message to the user goes through
// xw_wr_message; the application framework installs a presenter that shows a real
// message box. Tests (and runs without a display) answer through a scripted queue, and
// every text shown is recorded.
#pragma once

#include <functional>
#include <string>
#include <vector>

// Message kinds.
enum xw_message_kind : short {
    XW_INFO = 101,          // notice, OK
    XW_INCOMPATIBLE = 102,  // incompatible file, OK
    XW_ERROR = 103,         // error notice, OK
    XW_YESNO = 104,         // question, Yes / No
    XW_OKCANCEL = 105,      // OK / Cancel
    XW_RETRY = 106,         // lock retry, Retry / Cancel
    XW_SAVE = 107,          // save changes, Yes / No / Cancel
};

// Answers.
enum xw_answer : short {
    XW_ANSWER_OK = 1,
    XW_ANSWER_YES = 1,
    XW_ANSWER_NO = 2,
    XW_ANSWER_CANCEL = 4,
    XW_ANSWER_RETRY = 5,
};

// Shows text in a message box of the given kind with the application's name as caption;
// returns the answer. window and flags are kept for callers and not used.
short xw_wr_message(short window, short type, const char* text, short flags);
// The same with a caption of the caller's.
short xw_message_box(short type, const std::string& caption, const std::string& text);

// The caption of message boxes (the application's name).
void xw_set_application_name(const std::string& name);
const std::string& xw_application_name();

using xw_presenter = std::function<short(short type, const std::string& caption, const std::string& text)>;
// Installs the presenter (nullptr: none). Without one, messages go to standard error
// and take the cautious answer: OK, No, Cancel.
void xw_set_presenter(xw_presenter presenter);

// Scripted answers, taken in order before the presenter is asked.
void xw_script_answers(const std::vector<short>& answers);
size_t xw_scripted_answers_left();
struct xw_shown_message {
    short type;
    std::string caption;
    std::string text;
    short answer;
};
const std::vector<xw_shown_message>& xw_shown_messages();
void xw_clear_shown_messages(); // also drops unused scripted answers

// The wait indicator (busy cursor with an optional text). Calls nest.
void x_wait_on(const char* text);
void x_wait_off();
using xw_wait_hook = std::function<void(bool on, const std::string& text)>;
void xw_set_wait_hook(xw_wait_hook hook);
