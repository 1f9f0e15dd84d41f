// The compose window.
#include "ComposeWindow.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
QString ToQt(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
std::string FromQt(const QString& text) {
    return text.toUtf8().toStdString();
}

std::string JoinNames(const std::vector<std::string>& names) {
    std::string joined;
    for (const std::string& name : names)
        joined += (joined.empty() ? "" : ", ") + name;
    return joined;
}
} // namespace

ComposedRecipients ComposedRecipients::Resolve(const ComposeFields& fields) {
    return {RecipientResolver::Resolve(fields.to), RecipientResolver::Resolve(fields.cc),
            RecipientResolver::Resolve(fields.bcc)};
}

std::string ComposedRecipients::Notice() const {
    ResolvedRecipients all;
    for (const auto* list : {&to, &cc, &bcc})
        all.Append(*list);
    std::string notice;
    if (!all.unknown.empty()) {
        notice = (all.unknown.size() == 1 ? "Unknown recipient: " : "Unknown recipients: ") +
                 JoinNames(all.unknown) + ". Type an operator's name or id, or an e-mail address.";
    }
    if (!all.ambiguous.empty()) {
        if (!notice.empty()) notice += " ";
        notice += "More than one operator is named " + JoinNames(all.ambiguous) +
                  ". Type the operator's id or an e-mail address.";
    }
    return notice;
}

ComposeWindow::ComposeWindow(const ComposeFields& fields, const std::string& notice,
                             QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(tr("Send Mail"));
    auto* form = new QFormLayout;
    auto line = [&](const std::string& text, int id, const char* label) {
        auto* edit = new QLineEdit(ToQt(text), this);
        edit->setProperty("ctrlId", id);
        form->addRow(tr(label), edit);
        return edit;
    };
    _to = line(fields.to, kToId, "&To:");
    _cc = line(fields.cc, kCcId, "&Cc:");
    _bcc = line(fields.bcc, kBccId, "&Bcc:");
    _subject = line(fields.subject, kSubjectId, "&Subject:");

    _text = new QPlainTextEdit(this);
    _text->setPlainText(ToQt(fields.body));
    _text->setProperty("ctrlId", static_cast<int>(kTextId));
    _text->setMinimumSize(480, 240);

    _notice = new QLabel(this);
    _notice->setProperty("ctrlId", static_cast<int>(kNoticeId));
    _notice->setWordWrap(true);
    _notice->setStyleSheet("color: #b00020;");

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* send = buttons->addButton(tr("Send"), QDialogButtonBox::AcceptRole);
    QPushButton* cancel = buttons->addButton(tr("Cancel"), QDialogButtonBox::RejectRole);
    send->setProperty("ctrlId", static_cast<int>(kSendId));
    cancel->setProperty("ctrlId", static_cast<int>(kCancelId));
    send->setDefault(true);
    connect(send, &QPushButton::clicked, this, [this] { TrySend(); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(_text, 1);
    layout->addWidget(_notice);
    layout->addWidget(buttons);
    ShowNotice(notice);
}

ComposeFields ComposeWindow::Fields() const {
    return {FromQt(_to->text()), FromQt(_cc->text()), FromQt(_bcc->text()),
            FromQt(_subject->text()), FromQt(_text->toPlainText())};
}

void ComposeWindow::ShowNotice(const std::string& notice) {
    _notice->setText(ToQt(notice));
    _notice->setVisible(!notice.empty());
}

void ComposeWindow::TrySend() {
    ComposedRecipients recipients = ComposedRecipients::Resolve(Fields());
    if (!recipients.Complete()) {
        ShowNotice(recipients.Notice());
        return;
    }
    if (recipients.Empty()) {
        ShowNotice("Enter at least one recipient.");
        _to->setFocus();
        return;
    }
    _recipients = std::move(recipients);
    accept();
}
