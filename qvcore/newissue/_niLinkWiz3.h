// Step 3 of the Link Wizard: the data file (and file type) that holds records of the
// chosen kind. Passed over when only one file does.
#pragma once

#include "qvcore/store/qvLinkTarget.h"

#include "kwapp/sheets/kwPropertyPage.h"

#include <memory>
#include <vector>

class _niLinkWizard;
class QListWidget;
namespace Ui {
class _niLinkWiz3;
}

class _niLinkWiz3 : public kwPropertyPage {
    Q_OBJECT
public:
    static constexpr unsigned short TEMPLATE_ID = 8821;
    static constexpr int IDC_LIST = 222;

    explicit _niLinkWiz3(_niLinkWizard* wizard);
    ~_niLinkWiz3() override;

    // Lists the data files of the chosen issue record type anew (the line selected before
    // stays selected when it is still there); answers the number of lines. With none the
    // user is told.
    int Rebuild();
    // Takes the one line as the choice and marks the step as passed over.
    void TakeOnlyLine();
    bool Skipped() const { return _skipped; }
    const std::vector<qvDataRecordType>& Lines() const { return _lines; }

    bool OnSetActive() override;
    int OnWizardNext() override;
    int OnWizardBack() override;
    QListWidget* List() const;

private:
    void Take(const qvDataRecordType& line);

    std::unique_ptr<Ui::_niLinkWiz3> _ui;
    _niLinkWizard* _wizard;
    std::vector<qvDataRecordType> _lines; // what each list line carries, by its data
    bool _skipped = false;
};
