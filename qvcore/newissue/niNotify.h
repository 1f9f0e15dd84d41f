// The notification step of saving an issue from the New Issue sheet: the issue is mailed to
// its responsible person and the others to notify when the Notify page asks for it.
#pragma once

#include <vector>

class LinkedRecord;
class qvIssue;

// What became of a notification.
enum class niMailOutcome {
    NotAsked,    // the notify value was off
    Sent,        // handed to the company's mail server
    PutInOutbox, // written into the company's outbox: no mail server is set up
    Cancelled,   // the user cancelled the compose window or the logon
    Failed,      // the mail service failed (error 201 was shown)
    Unavailable, // no mail on this machine (error 202 was shown)
};

// true when the notification went out (sent or put in the outbox): people may have read
// the issue's number.
inline bool niMailWentOut(niMailOutcome outcome) {
    return outcome == niMailOutcome::Sent || outcome == niMailOutcome::PutInOutbox;
}

// Mails the issue (subject "New Issue: ..." or "Edit Issue: ...", the notify text and one
// line per link) when notifyChecked. No mail service gives error 202, a failed send error
// 201 (a cancel or a logon failure passes quietly); unless the mail went out, the issue's
// EMAIL value is set to false. interactive: the mail is shown in the compose window and a
// missing mail-server password is asked for, as the sheet sends it; a program without a
// user to ask (qvadmin) sends it as it stands.
niMailOutcome niSendNotification(bool newIssue, qvIssue& issue,
                                 const std::vector<LinkedRecord*>& links, bool notifyChecked,
                                 bool interactive = true);
