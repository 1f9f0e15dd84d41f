// One selector for the whole process; the default is the dialog.
#include "kwapp/suitedlg/xs_select_access.h"

#include "kwapp/suitedlg/xsSelectAccessDlg.h"

#include "kwcommon/kwStatus.h"
#include "kwcommon/x_message.h"
#include "kwcommon/xs.h"

#include <QApplication>

xs_access_selector& xs_access_selector_seam() {
    static xs_access_selector seam;
    return seam;
}

short xs_select_access(unsigned short command, const std::string& startId, std::string* id,
                       std::string* name) {
    if (const auto& seam = xs_access_selector_seam()) return seam(command, startId, id, name);
    return xs_standard_access_selector(command, startId, id, name);
}

short xs_standard_access_selector(unsigned short command, const std::string& startId,
                                  std::string* id, std::string* name) {
    if (xs_all_operators().empty()) {
        xw_wr_message(0, XW_ERROR, "The company has no operators to choose from.", 0);
        return XIO_NO_RECORD;
    }
    xsSelectAccessDlg dialog(command, startId, QApplication::activeWindow());
    if (dialog.DoModal() != kwDialog::IDOK) return XIO_CANCELLED;
    if (id) *id = dialog.ChosenId();
    if (name) *name = dialog.ChosenName();
    return XIO_OK;
}
