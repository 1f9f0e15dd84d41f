// The notification step of saving an issue from the New Issue sheet: the issue is mailed to
// its responsible person and the others to notify when the Notify page asks for it.
#pragma once

#include <vector>

class LinkedRecord;
class qvIssue;

// Mails the issue (subject "New Issue: ..." or "Edit Issue: ...", the notify text and one
// line per link) when notifyChecked. No mail service gives error 202, a failed send error
// 201 (a cancel or a logon failure passes quietly); unless the mail went out, the issue's
// EMAIL value is set to false.
void niSendNotification(bool newIssue, qvIssue& issue, const std::vector<LinkedRecord*>& links,
                        bool notifyChecked);
