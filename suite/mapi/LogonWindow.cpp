// The logon window.
#include "LogonWindow.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

LogonWindow::LogonWindow(const std::string& server, const std::string& user,
                         const std::string& notice, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(tr("Mail Logon"));
    setMinimumWidth(340);
    auto* noticeLabel = new QLabel(QString::fromStdString(notice), this);
    noticeLabel->setProperty("ctrlId", static_cast<int>(kNoticeId));
    noticeLabel->setWordWrap(true);

    _user = new QLineEdit(QString::fromStdString(user), this);
    _user->setProperty("ctrlId", static_cast<int>(kUserId));
    _password = new QLineEdit(this);
    _password->setEchoMode(QLineEdit::Password);
    _password->setProperty("ctrlId", static_cast<int>(kPasswordId));

    auto* form = new QFormLayout;
    form->addRow(tr("Server:"), new QLabel(QString::fromStdString(server), this));
    form->addRow(tr("&User name:"), _user);
    form->addRow(tr("&Password:"), _password);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(tr("OK"), QDialogButtonBox::AcceptRole);
    QPushButton* cancel = buttons->addButton(tr("Cancel"), QDialogButtonBox::RejectRole);
    ok->setProperty("ctrlId", static_cast<int>(kOkId));
    cancel->setProperty("ctrlId", static_cast<int>(kCancelId));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(noticeLabel);
    layout->addLayout(form);
    layout->addWidget(buttons);
    if (!user.empty()) _password->setFocus();
}

std::string LogonWindow::User() const {
    return _user->text().toUtf8().toStdString();
}
std::string LogonWindow::Password() const {
    return _password->text().toUtf8().toStdString();
}
