// Answers for the service's windows given in advance by tests (mapi_script_answers), so a
// caller's whole sending path runs without anyone pressing a button.
#pragma once

class ScriptedAnswers {
public:
    // Replaces the queue; a count of 0 empties it.
    static void Set(const int* answers, int count);
    // Takes the next answer; false when none is left, and the window is shown.
    static bool Take(int* answer);
    static int Left();
};
