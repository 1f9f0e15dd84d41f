// The chooser is a plain list dialog: double-click or OK chooses, Escape cancels. A list of
// one is still shown; the caller decides when there is nothing to ask.
#include "kwinq/kwInqApplList.h"

#include "kwapp/app/kwApplication.h"
#include "kwapp/frame/kwAppFrame.h"

#include "kwcommon/x_message.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
QString Q(const std::string& text) { return QString::fromStdString(text); }

int RunDialog(const InqApplList& list, const std::string& purpose) {
    kwApplication* app = KWGetApp();
    QDialog dialog(app ? app->MainWindow() : nullptr);
    std::string title = "Choose an Application";
    if (!purpose.empty()) title += " for " + purpose;
    dialog.setWindowTitle(Q(title));
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel(QStringLiteral("&Applications:"), &dialog));
    auto* choices = new QListWidget(&dialog);
    choices->setProperty("ctrlId", 100);
    for (const auto& [code, name] : list) choices->addItem(Q(name + " (" + code + ")"));
    choices->setCurrentRow(0);
    layout->addWidget(choices);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    buttons->button(QDialogButtonBox::Ok)->setProperty("ctrlId", 1);
    buttons->button(QDialogButtonBox::Cancel)->setProperty("ctrlId", 2);
    layout->addWidget(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    QObject::connect(choices, &QListWidget::itemDoubleClicked, &dialog, &QDialog::accept);
    if (dialog.exec() != QDialog::Accepted) return -1;
    return choices->currentRow();
}
} // namespace

InqApplChooser& InqApplChooserSeam() {
    static InqApplChooser seam;
    return seam;
}

int GetInqRptApplList(const InqApplList& list, const std::string& purpose) {
    if (list.empty()) return -1;
    const auto& chooser = InqApplChooserSeam();
    const int index = chooser ? chooser(list, purpose) : RunDialog(list, purpose);
    return index >= 0 && index < static_cast<int>(list.size()) ? index : -1;
}

void InqNoApplMessage() { xw_wr_message(0, XW_INFO, INQ_NO_APPL_TEXT, 0); }
