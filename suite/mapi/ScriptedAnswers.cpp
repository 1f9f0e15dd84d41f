// The queue of scripted window answers and its exported entry points.
#include "ScriptedAnswers.h"

#include "MAPI.h"

#include <deque>

namespace {
std::deque<int>& Queue() {
    static std::deque<int> queue;
    return queue;
}
} // namespace

void ScriptedAnswers::Set(const int* answers, int count) {
    Queue().clear();
    for (int i = 0; answers && i < count; ++i)
        Queue().push_back(answers[i]);
}

bool ScriptedAnswers::Take(int* answer) {
    if (Queue().empty()) return false;
    *answer = Queue().front();
    Queue().pop_front();
    return true;
}

int ScriptedAnswers::Left() {
    return static_cast<int>(Queue().size());
}

extern "C" void mapi_script_answers(const int* answers, int count) {
    ScriptedAnswers::Set(answers, count);
}

extern "C" int mapi_scripted_answers_left() {
    return ScriptedAnswers::Left();
}
