// The Link Wizard: four steps that choose one record of another application of the suite
// and make a link of it. Step 1 the application (one whose issue dictionary is installed),
// step 2 the kind of record (a record type of that issue dictionary), step 3 the data file
// that holds such records (skipped when only one does), step 4 the record itself, in a
// read-only grid of that file. Back keeps what was chosen; Finish completes the link.
#pragma once

#include "kwapp/sheets/kwPropertySheet.h"

#include "kwcommon/kwioFile.h"
#include "kwcommon/xio_dict.h"

#include <memory>
#include <string>

class LinkedRecord;
class _niLinkWiz1;
class _niLinkWiz2;
class _niLinkWiz3;
class _niLinkWiz4;

class _niLinkWizard : public kwPropertySheet {
    Q_OBJECT
public:
    static constexpr unsigned int HELP_ID = 8791;
    // The step indexes of the sheet.
    enum Step : int { STEP_APPLICATION = 0, STEP_RECORD_TYPE = 1, STEP_FILE_TYPE = 2, STEP_RECORD = 3 };

    // A wizard that opens the applications' files with the program number of the task
    // that runs it.
    explicit _niLinkWizard(short programNumber, QWidget* parent = nullptr);
    ~_niLinkWizard() override;

    // The link made by Finish (the caller owns it from then on); empty before Finish.
    std::unique_ptr<LinkedRecord> TakeResult();
    LinkedRecord& Result() { return *_result; }

    // Presses Next, Back or Finish as the user's button would (a double click on a step's
    // list or on a grid row).
    void Next();
    void Back();
    void Finish();
    // Enables Back (bit 1), Next (bit 2) and Finish (bit 4); every button stays shown.
    void SetButtons(int flags);
    // A message box of the wizard, with the owning task's name as its caption.
    short Message(short type, const std::string& text) const;

    short ProgramNumber() const { return _programNumber; }
    _niLinkWiz1* ApplicationStep() const { return _step1; }
    _niLinkWiz2* RecordTypeStep() const { return _step2; }
    _niLinkWiz3* FileTypeStep() const { return _step3; }
    _niLinkWiz4* RecordStep() const { return _step4; }

    // What the steps chose and share. comingBack is set by Back in steps 2 to 4 and
    // consumed by the step it returns to, which then keeps what it showed.
    bool comingBack = false;
    // The step to return to when the record grid cannot be built: 1 (step 2) when step 3
    // was skipped, else 2; negative while such a failure is handled.
    short previousStep = 1;
    std::string applAbbrev;
    kwioDictFile issueDictionary;
    short issueRecordType = 0;
    xio_rec_def issueRecord{};
    std::string dictName;
    short recordType = 0;
    short fileMask = 0;

    // Step 2's Next: finds the data files of the chosen record type (step 3's scan); when
    // there is exactly one, takes it and goes straight on to the record grid. false when
    // the wizard moved on by itself (or stays), true when step 3 is to be shown.
    bool EnterFileTypeStep();
    // Step 4's Back: back to step 3, or past it to step 2 when it was skipped. false when
    // the wizard moved by itself.
    bool LeaveRecordStep();

protected:
    bool OnInitDialog() override;

private:
    void ArrangeButtons();
    void ShowAllButtons();

    short _programNumber;
    std::unique_ptr<LinkedRecord> _result;
    _niLinkWiz1* _step1 = nullptr;
    _niLinkWiz2* _step2 = nullptr;
    _niLinkWiz3* _step3 = nullptr;
    _niLinkWiz4* _step4 = nullptr;
};
