// The progress window of a print a user waits for: records read and pages made, with
// Cancel. It appears only when the print takes a moment (a short print shows nothing)
// and keeps the program's windows painted while the print runs on the UI thread.
#pragma once

#include "kwprint/tr_design.h"

#include <QString>

#include <memory>

class QProgressDialog;

class trPrintProgress {
public:
    // Object name of the window, for tests that press its Cancel.
    static constexpr const char* kObjectName = "trPrintProgress";

    explicit trPrintProgress(const QString& title);
    ~trPrintProgress();
    trPrintProgress(const trPrintProgress&) = delete;
    trPrintProgress& operator=(const trPrintProgress&) = delete;

    // A tr_progress_proc: data is the trPrintProgress. Answers 0 once the user cancelled.
    static short Report(void* data, const tr_progress* progress);

private:
    std::unique_ptr<QProgressDialog> _dialog;
};
