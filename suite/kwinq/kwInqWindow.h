// The inquiry window: an MDI window of the main frame listing the records of an inquiry's
// driving file, read only, on the suite's grid, in the order of the inquiry's key and
// filtered by the values passed to the inquiry. The label above the grid names the
// filter; the one below counts the records as the grid counts them.
#pragma once

#include "kwinq/kwInqDefinitions.h"
#include "kwinq/xi.h"

#include <QMdiSubWindow>

#include <memory>
#include <string>
#include <utility>
#include <vector>

class QLabel;
class kwdmObjectManager;
class kwdmViewCtrl;

class kwInqWindow : public QMdiSubWindow {
    Q_OBJECT
public:
    static constexpr int IDC_GRID = 508;
    static constexpr int IDC_FILTER = 1014;
    static constexpr int IDC_COUNT = 1015;

    // Builds the window (not yet shown). false with *error when the driving file's
    // dictionary lacks a field the inquiry names or the file would not open (the user was
    // told about the latter).
    kwInqWindow(const kwInqDefinition& inquiry, short programNumber, const xi_value_def* values, short count);
    ~kwInqWindow() override;
    bool Open(std::string* error);

    const kwInqDefinition& Inquiry() const { return _inquiry; }
    // The (field, value) pairs the rows are filtered on, as shown.
    const std::vector<std::pair<std::string, std::string>>& Filter() const { return _filter; }
    kwdmViewCtrl* ViewCtrl() const { return _view.get(); }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void ShowCount();

    kwInqDefinition _inquiry;
    short _programNumber;
    std::vector<xi_value_def> _values;
    std::vector<std::pair<std::string, std::string>> _filter;
    std::unique_ptr<kwdmObjectManager> _objects;
    std::unique_ptr<kwdmViewCtrl> _view;
    QLabel* _filterLabel = nullptr;
    QLabel* _countLabel = nullptr;
};

// Opens an inquiry's window in the main frame's MDI area and shows it. Null after telling
// the user why not (no main frame, no such inquiry, a field or the file missing).
QMdiSubWindow* kwInqOpenWindow(const std::string& application, const std::string& name, short programNumber,
                               const xi_value_def* values, short count);
