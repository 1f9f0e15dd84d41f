// Step 4 of the Link Wizard: the record to link to, in a read-only grid of the chosen data
// file (the grid framework's model, read lazily): the record's key fields and the field
// after them. The grid is kept while dictionary, record type and file mask stay the same.
#pragma once

#include "kwapp/sheets/kwPropertyPage.h"

#include "kwcommon/xio_dict.h"

#include <memory>
#include <string>
#include <vector>

class _niLinkWizard;
class kwdmGridView;
class kwdmObjectManager;
class kwdmQueryColumn;
class kwdmViewCtrl;
namespace Ui {
class _niLinkWiz4;
}

class _niLinkWiz4 : public kwPropertyPage {
    Q_OBJECT
public:
    static constexpr unsigned short TEMPLATE_ID = 8831;
    static constexpr int IDC_GRID = 223;

    explicit _niLinkWiz4(_niLinkWizard* wizard);
    ~_niLinkWiz4() override;

    bool OnSetActive() override;
    int OnWizardBack() override;
    bool OnWizardFinish() override;

    // The grid of the step (null before it was built or when building it failed).
    kwdmGridView* Grid() const;
    // The query name of the grid built: dictionary name, record type and file mask.
    const std::string& GridName() const { return _gridName; }
    // The texts of the grid's columns in the focused record's row; empty when there is no
    // record row.
    std::vector<std::string> CurrentTexts() const;

private:
    bool BuildGrid(const std::string& name);
    void DropGrid();

    std::unique_ptr<Ui::_niLinkWiz4> _ui;
    _niLinkWizard* _wizard;
    std::unique_ptr<kwdmObjectManager> _objects;
    std::unique_ptr<kwdmViewCtrl> _view;
    std::vector<const kwdmQueryColumn*> _columns; // shown, in order
    xio_rec_def _record{};
    std::string _gridName;
};
