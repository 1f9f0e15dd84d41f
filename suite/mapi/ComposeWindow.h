// The compose window of the mail service: recipients, subject and text, Send and Cancel.
// Recipients are resolved when Send is pressed; a name that resolves to no address keeps
// the window open with the name shown, so the user can correct it.
#pragma once

#include "RecipientResolver.h"

#include <QDialog>

#include <string>

class QLabel;
class QLineEdit;
class QPlainTextEdit;

// What the window shows and the user edits. Recipients are lists separated by ";".
struct ComposeFields {
    std::string to;
    std::string cc;
    std::string bcc;
    std::string subject;
    std::string body;
};

// The recipients of the fields, resolved.
struct ComposedRecipients {
    ResolvedRecipients to;
    ResolvedRecipients cc;
    ResolvedRecipients bcc;

    static ComposedRecipients Resolve(const ComposeFields& fields);
    bool Complete() const { return to.Complete() && cc.Complete() && bcc.Complete(); }
    bool Empty() const {
        return to.addresses.empty() && cc.addresses.empty() && bcc.addresses.empty();
    }
    // What the user must correct ("Unknown recipient: Bob. ..."); empty when nothing.
    std::string Notice() const;
};

class ComposeWindow : public QDialog {
public:
    // Control ids (dynamic property "ctrlId").
    enum : int {
        kSendId = 1,
        kCancelId = 2,
        kToId = 1001,
        kCcId = 1002,
        kBccId = 1003,
        kSubjectId = 1004,
        kTextId = 1005,
        kNoticeId = 1006,
    };

    ComposeWindow(const ComposeFields& fields, const std::string& notice, QWidget* parent);

    ComposeFields Fields() const;
    // The resolved recipients after Send was accepted.
    const ComposedRecipients& Recipients() const { return _recipients; }

private:
    void TrySend();
    void ShowNotice(const std::string& notice);

    QLineEdit* _to;
    QLineEdit* _cc;
    QLineEdit* _bcc;
    QLineEdit* _subject;
    QPlainTextEdit* _text;
    QLabel* _notice;
    ComposedRecipients _recipients;
};
