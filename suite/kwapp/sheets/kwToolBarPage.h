// The Customize sheet's "Toolbar" page: which tasks have a button on the toolbar.
#pragma once

#include "kwapp/sheets/kwPropertyPage.h"

#include <memory>

class QListWidget;
namespace Ui {
class kwToolBarPage;
}

class kwToolBarPage : public kwPropertyPage {
    Q_OBJECT
public:
    static constexpr int IDC_TASK_LIST = 300;

    kwToolBarPage();
    ~kwToolBarPage() override;

    bool OnInitDialog() override;
    bool OnApply() override;

private:
    std::unique_ptr<Ui::kwToolBarPage> _ui;
    QListWidget* _list;
};
