// The message-box seam: scripted answers first, then the installed presenter, else
// standard error with the cautious answer.
#include "kwcommon/x_message.h"

#include <deque>
#include <iostream>

namespace {
struct MessageState {
    std::string applicationName; // set by the program at start-up
    xw_presenter presenter;
    std::deque<short> scripted;
    std::vector<xw_shown_message> shown;
    xw_wait_hook waitHook;
    int waitDepth = 0;
};

MessageState& State() {
    static MessageState state;
    return state;
}

short CautiousAnswer(short type) {
    switch (type) {
    case XW_YESNO: return XW_ANSWER_NO;
    case XW_OKCANCEL:
    case XW_RETRY:
    case XW_SAVE: return XW_ANSWER_CANCEL;
    default: return XW_ANSWER_OK;
    }
}
} // namespace

short xw_message_box(short type, const std::string& caption, const std::string& text) {
    MessageState& state = State();
    short answer;
    if (!state.scripted.empty()) {
        answer = state.scripted.front();
        state.scripted.pop_front();
    } else if (state.presenter) {
        answer = state.presenter(type, caption, text);
    } else {
        std::cerr << (caption.empty() ? text : caption + ": " + text) << std::endl;
        answer = CautiousAnswer(type);
    }
    state.shown.push_back({type, caption, text, answer});
    return answer;
}

short xw_wr_message(short /*window*/, short type, const char* text, short /*flags*/) {
    return xw_message_box(type, State().applicationName, text ? text : "");
}

void xw_set_application_name(const std::string& name) { State().applicationName = name; }
const std::string& xw_application_name() { return State().applicationName; }
void xw_set_presenter(xw_presenter presenter) { State().presenter = std::move(presenter); }

void xw_script_answers(const std::vector<short>& answers) {
    for (short answer : answers) State().scripted.push_back(answer);
}
size_t xw_scripted_answers_left() { return State().scripted.size(); }
const std::vector<xw_shown_message>& xw_shown_messages() { return State().shown; }
void xw_clear_shown_messages() {
    State().shown.clear();
    State().scripted.clear();
}

void x_wait_on(const char* text) {
    MessageState& state = State();
    if (state.waitDepth++ == 0 && state.waitHook) state.waitHook(true, text ? text : "");
}

void x_wait_off() {
    MessageState& state = State();
    if (state.waitDepth == 0) return;
    if (--state.waitDepth == 0 && state.waitHook) state.waitHook(false, "");
}

void xw_set_wait_hook(xw_wait_hook hook) { State().waitHook = std::move(hook); }
