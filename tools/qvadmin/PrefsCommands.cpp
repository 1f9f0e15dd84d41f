// qvadmin prefs show: the user's and the installation's preferences as the program loads them.
#include "AdminCommand.h"

#include "qvcore/prefs/Prefs.h"

#include "kwcommon/prefs/xpref.h"

#include <ostream>

int AdminPrefsShow(AdminContext& context) {
    if (!context.args.empty()) {
        context.err << "usage: qvadmin prefs show\n";
        return kAdminUserError;
    }
    Prefs::Load();
    auto yesNo = [](bool on) { return on ? "yes" : "no"; };
    auto& out = context.out;
    out << "user\tstore\t" << xpref_store_path(XPREF_USER) << "\n";
    out << "user\tQueryName\t" << Prefs::QueryName() << "\n";
    out << "user\tAutoStartViewer\t" << yesNo(Prefs::AutoStartViewer()) << "\n";
    out << "user\tDeleteWhenClosed\t" << yesNo(Prefs::DeleteWhenClosed()) << "\n";
    out << "user\tNotifyOnNew\t" << yesNo(Prefs::NotifyOnNew()) << "\n";
    out << "user\tNotifyOnChange\t" << yesNo(Prefs::NotifyOnChange()) << "\n";
    out << "user\tSnoozeDays\t" << Prefs::SnoozeDays() << "\n";
    out << "user\tDisallowWeekend\t" << yesNo(Prefs::DisallowWeekend()) << "\n";
    std::vector<std::string> columns;
    Prefs::GetGridColumns(columns);
    out << "user\tGridColumns\t";
    for (size_t i = 0; i < columns.size(); ++i) out << (i ? "," : "") << columns[i];
    out << "\n";
    out << "system\tstore\t" << xpref_store_path(XPREF_SYSTEM) << "\n";
    out << "system\tAutoFilter\t" << yesNo(Prefs::AutoFilter()) << "\n";
    out << "system\tAutoFilterPrivileged\t" << yesNo(Prefs::AutoFilterPrivileged()) << "\n";
    out << "system\tFormName\t" << Prefs::FormName() << "\n";
    out << "system\tListName\t" << Prefs::ListName() << "\n";
    return kAdminOk;
}
