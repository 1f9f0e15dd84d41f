// The owning application's rule is found by name in the running process, so the suite
// never links the applications whose lists it edits.
#include "kwapp/suitedlg/xcl_edit_custom_list.h"

#include "kwapp/suitedlg/xclCustomListDlg.h"

#include "kwcommon/kwStatus.h"
#include "kwcommon/x_message.h"
#include "kwcommon/xk.h"

#include <QApplication>

#include <dlfcn.h>

namespace {

// The issue status list: its first three values drive the issue tracker's own logic.
constexpr short kStatusList = 265;

using ListRule = bool (*)(std::vector<std::string>* list);

ListRule RuleOf(short list) {
    if (list != kStatusList) return nullptr;
    return reinterpret_cast<ListRule>(::dlsym(RTLD_DEFAULT, "im_265_is_valid_clist"));
}

std::string WriteProblem(short status) {
    switch (status) {
    case XIO_CORRUPT:
        return "The company's list file is damaged; it was left as it is.";
    case XIO_LOCKED:
        return "Another program is changing the company's lists. Try again in a moment.";
    case XIO_BAD_VALUE:
        return "An entry holds characters that cannot be stored.";
    default:
        return xio_status_text(status);
    }
}

} // namespace

xcl_custom_list_editor& xcl_custom_list_editor_seam() {
    static xcl_custom_list_editor seam;
    return seam;
}

short xcl_save_custom_list(short list, const std::vector<std::string>& entries) {
    if (ListRule rule = RuleOf(list)) {
        std::vector<std::string> checked = entries;
        if (!rule(&checked)) return XIO_BAD_VALUE;
    }
    const short status = xk_put_custom_list(list, entries);
    if (status != XIO_OK) {
        const std::string text = "The list could not be saved. " + WriteProblem(status);
        xw_wr_message(0, XW_ERROR, text.c_str(), 0);
    }
    return status;
}

short xcl_edit_custom_list(short list) {
    std::vector<std::string> entries;
    xk_get_custom_list(list, &entries);
    if (const auto& editor = xcl_custom_list_editor_seam()) {
        if (!editor(list, &entries)) return XIO_CANCELLED;
        return xcl_save_custom_list(list, entries);
    }
    xclCustomListDlg dialog(list, entries, QApplication::activeWindow());
    if (dialog.DoModal() != kwDialog::IDOK) return XIO_CANCELLED;
    return dialog.SaveStatus();
}
