// One page of a property sheet or wizard. A page builds its controls in its constructor;
// the sheet calls OnInitDialog the first time the page is shown (the page is then
// "created"), moves values with DoDataExchange, and OnApply writes them when the user
// confirms.
#pragma once

#include <QString>
#include <QWidget>

class kwPropertySheet;

class kwPropertyPage : public QWidget {
    Q_OBJECT
public:
    explicit kwPropertyPage(const QString& title, unsigned short templateId = 0,
                            QWidget* parent = nullptr);
    ~kwPropertyPage() override;

    QString Title() const { return _title; }
    void SetTitle(const QString& title);
    unsigned short TemplateId() const { return _templateId; }
    unsigned int HelpId() const { return _helpId; }
    void SetHelpId(unsigned int id) { _helpId = id; }
    kwPropertySheet* Sheet() const { return _sheet; }
    bool IsCreated() const { return _created; }
    // A changed value enables the sheet's Apply button; applying clears it.
    void SetModified(bool changed = true);
    bool IsModified() const { return _modified; }
    // The page's control with the id (dynamic property "ctrlId").
    QWidget* Ctrl(int id) const;

    // Once, before the page is first shown: fill the controls. Base: values to controls.
    virtual bool OnInitDialog();
    // Values between controls and members: save false fills the controls, save true checks
    // and takes their values. false (with a message shown) keeps the page.
    virtual bool DoDataExchange(bool save);
    // The page becomes the current one; false refuses.
    virtual bool OnSetActive();
    // The page is left; base: DoDataExchange(true). false keeps it current.
    virtual bool OnKillActive();
    // The user confirmed: write the values. Base: clears the modified mark. false keeps the
    // sheet open on this page.
    virtual bool OnApply();
    virtual void OnCancel();
    // Wizard steps: 0 moves on, -1 stays.
    virtual int OnWizardBack();
    virtual int OnWizardNext();
    // true finishes the wizard.
    virtual bool OnWizardFinish();

    // Called by the sheet.
    void AttachToSheet(kwPropertySheet* sheet) { _sheet = sheet; }
    bool EnsureCreated();

private:
    QString _title;
    unsigned short _templateId;
    unsigned int _helpId = 0;
    kwPropertySheet* _sheet = nullptr;
    bool _created = false;
    bool _modified = false;
};
