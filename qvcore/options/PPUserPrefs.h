// The "User Controls" page of the Customize sheet: the user's default query, whether View
// Issues opens at start-up, the closed-issue and notification choices, and how far the
// View Issues window postpones a due date. Written to the user's preferences on Apply.
#pragma once

#include "kwapp/sheets/kwPropertyPage.h"

#include <memory>
#include <string>

namespace Ui {
class PPUserPrefs;
}

class PPUserPrefs : public kwPropertyPage {
    Q_OBJECT
public:
    static constexpr unsigned short TEMPLATE_ID = 25100;
    enum ControlId : int {
        IDC_DEFAULT_QUERY = 175,
        IDC_AUTO_START_VIEWER = 176,
        IDC_DELETE_WHEN_CLOSED = 177,
        IDC_NOTIFY_ON_NEW = 178,
        IDC_NOTIFY_ON_CHANGE = 179,
        IDC_SNOOZE_DAYS = 180,
        IDC_DISALLOW_WEEKEND = 181,
    };
    static constexpr double MIN_DAYS = 0;
    static constexpr double MAX_DAYS = 366;

    PPUserPrefs();
    ~PPUserPrefs() override;

    bool OnInitDialog() override;
    bool DoDataExchange(bool save) override;
    bool OnApply() override;

    // The framework's range message for a number field.
    static std::string RangeMessage(double low, double high);

private:
    std::unique_ptr<Ui::PPUserPrefs> _ui;
    std::string _queryName;
    int _autoStartViewer;
    int _deleteWhenClosed;
    int _notifyOnNew;
    int _notifyOnChange;
    double _snoozeDays;
    int _disallowWeekend;
};
