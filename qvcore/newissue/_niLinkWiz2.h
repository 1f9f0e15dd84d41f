// Step 2 of the Link Wizard: the kind of record to link to, a record type of the chosen
// application's issue dictionary.
#pragma once

#include "kwapp/sheets/kwPropertyPage.h"

#include <memory>
#include <string>

class _niLinkWizard;
class QListWidget;
namespace Ui {
class _niLinkWiz2;
}

class _niLinkWiz2 : public kwPropertyPage {
    Q_OBJECT
public:
    static constexpr unsigned short TEMPLATE_ID = 8811;
    static constexpr int IDC_LIST = 221;

    explicit _niLinkWiz2(_niLinkWizard* wizard);
    ~_niLinkWiz2() override;

    bool OnSetActive() override;
    int OnWizardNext() override;
    int OnWizardBack() override;
    QListWidget* List() const;

    // The line of an issue record type: "AP - " and the record type's name in initial
    // capitals, cut before "Issue".
    static std::string LineText(const std::string& applAbbrev, const std::string& recordTypeName);
    // Why a dictionary did not open, by the open's status; "" for a status without words.
    static std::string OpenFailureReason(short status);

private:
    // Opens the application's issue dictionary unless it is open; true when it was newly
    // opened (the list is then built anew).
    bool OpenIssueDictionary();

    std::unique_ptr<Ui::_niLinkWiz2> _ui;
    _niLinkWizard* _wizard;
};
