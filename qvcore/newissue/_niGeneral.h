// The General page of the New Issue sheet: the issue's description, its four list-valued
// fields (follow-up, urgency, classification, status) and its notify and due dates. Leaving
// the page with a date just set into the past, or a notify date after the due date, asks
// the user first.
#pragma once

#include "kwapp/sheets/kwPropertyPage.h"

#include "kwcommon/values/kwDate.h"

#include <memory>
#include <string>

class QComboBox;
class QLineEdit;
class kwFullDateFormatter;
class kwSpinButton;
class qvIssue;
namespace Ui {
class _niGeneral;
}

class _niGeneral : public kwPropertyPage {
    Q_OBJECT
public:
    static constexpr unsigned short TEMPLATE_ID = 8761;
    enum ControlId : int {
        IDC_DESCRIPTION = 100,
        IDC_FOLLOWUP = 101,
        IDC_URGENCY = 102,
        IDC_CLASSIFICATION = 103,
        IDC_STATUS = 104,
        IDC_DUE_DATE = 107,
        IDC_ADD_DAYS = 108,
        IDC_NOTIFY_SPIN = 113,
        IDC_DUE_SPIN = 114,
        IDC_NOTIFY_DATE = 193,
        IDC_STATUS_LABEL = 600,
        IDC_URGENCY_LABEL = 601,
        IDC_CLASSIFICATION_LABEL = 603,
        IDC_FOLLOWUP_LABEL = 604,
    };
    // The custom lists behind the four boxes.
    static constexpr short LIST_CLASSIFICATION = 262;
    static constexpr short LIST_URGENCY = 263;
    static constexpr short LIST_FOLLOWUP = 264;
    static constexpr short LIST_STATUS = 265;

    explicit _niGeneral(qvIssue* issue);
    ~_niGeneral() override;

    bool OnInitDialog() override;
    bool DoDataExchange(bool save) override;
    // The date checks; false keeps the user on the page.
    bool OnKillActive() override;
    bool OnApply() override;
    // "Add 7 days" (control 108).
    void OnAddDays();

    // Fills box from custom list `list` so that `value` is selected: the list's entries but
    // the first (which names the default), the default selected for an empty value, and a
    // value that has left the list kept as a last item.
    static void FillFromCustomList(QComboBox* box, short list, const std::string& value);

    const kwDate& RememberedNotifyDate() const { return _rememberedNotify; }
    const kwDate& RememberedDueDate() const { return _rememberedDue; }

private:
    // Asks once about a date d before today that differs from the one last accepted;
    // true when the user wants to change it. remembered becomes d in every case.
    static bool DatePassed(const kwDate& date, kwDate& remembered, const std::string& name);
    // Reads a date field; a text that is no date is told to the user (false).
    bool ReadDate(QLineEdit* edit, const std::string& name, kwDate* date);
    void FocusEdit(QLineEdit* edit);

    std::unique_ptr<Ui::_niGeneral> _ui;
    qvIssue* _issue;
    kwFullDateFormatter* _notifyFormatter = nullptr;
    kwFullDateFormatter* _dueFormatter = nullptr;
    std::string _description;
    std::string _dueDate;
    std::string _notifyDate;
    std::string _classification;
    std::string _followUp;
    std::string _status;
    std::string _urgency;
    kwDate _rememberedDue = kwDate::Empty();
    kwDate _rememberedNotify = kwDate::Empty();
};
