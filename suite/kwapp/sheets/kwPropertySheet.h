// A modal property sheet: pages on tabs with OK, Cancel, Apply and Help, or, in wizard mode,
// one page at a time with Back, Next, Finish, Cancel and Help. The sheet owns its pages.
#pragma once

#include <QDialog>
#include <QString>

#include <vector>

class QLabel;
class QPushButton;
class QStackedWidget;
class QTabWidget;
class kwPropertyPage;

class kwPropertySheet : public QDialog {
    Q_OBJECT
public:
    // Button ids (dynamic property "ctrlId") and DoModal answers.
    enum ButtonId : int {
        ID_OK = 1,
        ID_CANCEL = 2,
        ID_HELP = 9,
        ID_APPLY = 12321,
        ID_WIZBACK = 12323,
        ID_WIZNEXT = 12324,
        ID_WIZFINISH = 12325,
    };
    // SetWizardButtons flags.
    enum WizardButtons : int {
        PSWIZB_BACK = 1,
        PSWIZB_NEXT = 2,
        PSWIZB_FINISH = 4,
        PSWIZB_DISABLEDFINISH = 8,
    };

    explicit kwPropertySheet(const QString& title, QWidget* parent = nullptr,
                             unsigned int helpId = 0);
    ~kwPropertySheet() override;

    // Adds a page at the end; the sheet takes it over.
    void AddPage(kwPropertyPage* page);
    int PageCount() const { return static_cast<int>(_pages.size()); }
    kwPropertyPage* Page(int index) const;
    kwPropertyPage* ActivePage() const;
    int ActiveIndex() const { return _active; }
    // Leaves the current page (which may refuse) and shows the page at index.
    bool SetActivePage(int index);

    // Call before the sheet is shown.
    void SetWizardMode();
    bool IsWizardMode() const { return _wizard; }
    void SetWizardButtons(int flags);
    // With modifications handled (the default), leaving with changed pages asks whether to
    // save them; without, Cancel simply drops them.
    void SetHandleModifications(bool handle) { _handleModifications = handle; }
    bool HandleModifications() const { return _handleModifications; }
    unsigned int HelpId() const { return _helpId; }

    // Shows the sheet modally: ID_OK (or ID_WIZFINISH) after the pages applied, ID_CANCEL.
    int DoModal();
    QPushButton* Button(int id) const;

    // The buttons' work, also for callers that drive the sheet.
    bool PressOK();
    bool PressApply();
    void PressCancel();
    bool PressBack();
    bool PressNext();
    bool PressFinish();

    // Every created page writes its values; the first that refuses becomes current.
    bool ApplyAll();
    // A page's modified mark changed.
    void PageModified();

protected:
    // Once, before the sheet is first shown. Base: shows the first page.
    virtual bool OnInitDialog();
    // A control the sheet adds beside its standard buttons: Tab reaches it after them, in
    // the order such controls were added.
    void AddTrailingTabStop(QWidget* widget);
    void showEvent(QShowEvent* event) override;
    // The pages are filled before the sheet takes its size, so long texts widen it.
    void setVisible(bool visible) override;
    void reject() override;

private:
    bool AnyModified() const;
    // Tab goes from the tabs through the current page's controls (in the page's own order)
    // to the buttons, whatever order the pages and buttons were made in.
    void ArrangeTabOrder();
    // Puts the focus on the first control of the current page that Tab would reach.
    void FocusFirstControl();
    void ShowPage(int index);
    void UpdateWizardButtons();
    void OnTabChanged(int index);

    QString _title;
    unsigned int _helpId;
    std::vector<kwPropertyPage*> _pages;
    int _active = -1;
    bool _wizard = false;
    bool _handleModifications = true;
    bool _initialised = false;
    bool _switching = false;
    int _wizardFlags = -1; // -1: what the page's place implies
    int _result = ID_CANCEL;
    QTabWidget* _tabs = nullptr;
    QStackedWidget* _stack = nullptr;
    QLabel* _wizardTitle = nullptr;
    std::vector<QPushButton*> _buttons;
    std::vector<QWidget*> _trailingTabStops;
};
