// The suite's modal dialog: controls found by id, values moved with DoDataExchange, OK
// (id 1) only closes when the values pass their checks, Cancel (id 2) closes as it is.
#pragma once

#include <QDialog>

class kwDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int IDOK = 1;
    static constexpr int IDCANCEL = 2;

    explicit kwDialog(unsigned short templateId = 0, QWidget* parent = nullptr);
    ~kwDialog() override;

    unsigned short TemplateId() const { return _templateId; }
    unsigned int HelpId() const { return _helpId; }
    void SetHelpId(unsigned int id) { _helpId = id; }

    // Runs the dialog modally: IDOK or IDCANCEL.
    int DoModal();
    // IDOK once OK closed the dialog, else IDCANCEL.
    int Result() const { return _result; }
    QWidget* GetDlgItem(int id) const;
    // save false: members to controls; save true: controls to members after their checks.
    bool UpdateData(bool save);

protected:
    // Once, before the dialog is first shown. Base: members to controls.
    virtual bool OnInitDialog();
    virtual bool DoDataExchange(bool save);
    // OK: UpdateData(true), then close. Cancel: close.
    virtual void OnOK();
    virtual void OnCancel();
    // Connects the controls with ids 1 and 2 (if present) to OnOK and OnCancel.
    void WireStandardButtons();
    // Closes the dialog with the result, without the checks of OK.
    void EndDialog(int result);

    void showEvent(QShowEvent* event) override;
    void reject() override;

private:
    unsigned short _templateId;
    unsigned int _helpId = 0;
    bool _initialised = false;
    int _result = IDCANCEL;
};
