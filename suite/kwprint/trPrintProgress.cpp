// The print's progress window on QProgressDialog: the count pass and the printing pass
// each fill the bar once the number of pages is known.
#include "kwprint/trPrintProgress.h"

#include <QApplication>
#include <QCoreApplication>
#include <QProgressDialog>

namespace {
constexpr int kShowAfterMs = 400;
} // namespace

trPrintProgress::trPrintProgress(const QString& title) {
    _dialog = std::make_unique<QProgressDialog>(QApplication::activeWindow());
    _dialog->setObjectName(QString::fromLatin1(kObjectName));
    _dialog->setWindowTitle(title);
    _dialog->setWindowModality(Qt::ApplicationModal);
    _dialog->setLabelText(QStringLiteral("Preparing the print..."));
    _dialog->setCancelButtonText(QStringLiteral("Cancel"));
    _dialog->setMinimumDuration(kShowAfterMs);
    _dialog->setAutoReset(false);
    _dialog->setAutoClose(false);
    _dialog->setRange(0, 0);
    _dialog->setValue(0);
}

trPrintProgress::~trPrintProgress() {
    _dialog->hide();
}

short trPrintProgress::Report(void* data, const tr_progress* progress) {
    auto* self = static_cast<trPrintProgress*>(data);
    QProgressDialog& dialog = *self->_dialog;
    const auto records = static_cast<qlonglong>(progress->recordsRead);
    const QString read = QStringLiteral("%1 record%2 read").arg(records).arg(records == 1 ? "" : "s");
    if (progress->phase == 1) {
        dialog.setLabelText(QStringLiteral("Counting the pages: %1, %2 page%3 so far.")
                                .arg(read)
                                .arg(progress->pagesMade)
                                .arg(progress->pagesMade == 1 ? "" : "s"));
    } else {
        QString pages = QStringLiteral("%1 page%2 made").arg(progress->pagesMade).arg(progress->pagesMade == 1 ? "" : "s");
        if (progress->pagesTotal > 0) {
            pages += QStringLiteral(" of %1").arg(progress->pagesTotal);
            if (dialog.maximum() != progress->pagesTotal) dialog.setRange(0, progress->pagesTotal);
        }
        dialog.setLabelText(QStringLiteral("Printing: %1, %2.").arg(read, pages));
    }
    // The window shows itself once the print has run for a moment (its own timer, which a
    // value at the minimum would start again); the events let in here paint it and reach
    // its Cancel.
    const int value = std::min(progress->pagesMade, dialog.maximum());
    if (dialog.maximum() > 0 && value > dialog.minimum() && value != dialog.value()) dialog.setValue(value);
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return dialog.wasCanceled() ? 0 : 1;
}
