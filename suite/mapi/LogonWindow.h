// The logon window of the mail service: the user name and password for the mail server,
// asked for when the settings hold no password or the server refused them.
#pragma once

#include <QDialog>

#include <string>

class QLineEdit;

class LogonWindow : public QDialog {
public:
    enum : int { kOkId = 1, kCancelId = 2, kUserId = 1011, kPasswordId = 1012, kNoticeId = 1013 };

    LogonWindow(const std::string& server, const std::string& user, const std::string& notice,
                QWidget* parent);

    std::string User() const;
    std::string Password() const;

private:
    QLineEdit* _user;
    QLineEdit* _password;
};
