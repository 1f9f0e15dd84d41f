// The "Select Orders" page of the Options sheet: which alternate keys of the issue file are
// offered as orders. Applying switches the keys in the company's control file, then offers
// to bring the issue file's indexes up to date at once; declined, the file keeps its keys
// until it is upgraded.
#pragma once

#include "kwapp/sheets/kwPropertyPage.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace Ui {
class PPSysOrders;
}
class QListWidget;

class PPSysOrders : public kwPropertyPage {
    Q_OBJECT
public:
    static constexpr unsigned short TEMPLATE_ID = 25210;
    enum ControlId : int { IDC_ORDERS = 224 };
    static constexpr const char* FILE_ABBREV = "QVI";
    static constexpr const char* UPGRADE_QUESTION =
        "One or more orders have been changed.  To apply these changes, the QV Issue file must be "
        "upgraded.  You can choose to upgrade the file now or wait and upgrade it later using "
        "Upgrade Files from KW-Main.\r\rDo you want to upgrade this file now?";
    static constexpr const char* UPDATE_DONE = "Update successful.";
    static constexpr const char* UPDATE_FAILED = "Update not successful.";
    static constexpr const char* FILE_IN_USE =
        "The QV Issue file is open in another program or on another workstation, so it cannot be "
        "upgraded now.  The changed orders are saved: upgrade the file when no one else is using it.";

    struct OrderItem {
        std::string name; // the key's name in initial capitals
        short key;
        bool active;
    };

    PPSysOrders();
    ~PPSysOrders() override;

    bool OnInitDialog() override;
    bool DoDataExchange(bool save) override;
    bool OnApply() override;

    const std::vector<OrderItem>& Items() const { return _items; }
    bool ControlFileOpen() const { return _controlFile > 0; }

private:
    // Builds or drops the indexes under a progress dialog; answers the record manager's status.
    static short UpdateKeysWithProgress(const std::vector<std::pair<short, bool>>& switched);
    static void ShowStatus(const char* text);

    std::unique_ptr<Ui::PPSysOrders> _ui;
    std::vector<OrderItem> _items;
    short _controlFile;
};
