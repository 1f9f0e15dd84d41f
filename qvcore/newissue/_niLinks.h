// The Links page of the New Issue sheet: the issue's subject (a value of the company's
// list 266), its links to records of the suite's other applications (chosen with the Link
// Wizard, with the links to their parent records added), and one linked inquiry. The
// links are stored with the issue when the sheet is confirmed.
#pragma once

#include "qvcore/newissue/niLinksPageSlot.h"

#include "kwapp/sheets/kwPropertyPage.h"

#include <memory>
#include <set>
#include <string>
#include <vector>

class LinkedRecord;
class _niLinkWizard;
class qvIssue;
namespace Ui {
class _niLinks;
}

class _niLinks : public kwPropertyPage, public niLinksPageSlot {
    Q_OBJECT
public:
    static constexpr unsigned short TEMPLATE_ID = 8781;
    enum ControlId : int {
        IDC_LINKS = 113,
        IDC_LINK_TO = 114,
        IDC_UNLINK = 115,
        IDC_INQUIRY = 116,
        IDC_UNLINK_INQUIRY = 117,
        IDC_SUBJECT = 118,
        IDC_ADD_SUBJECT = 119,
        IDC_CHOOSE_INQUIRY = 120,
        IDC_SUBJECT_LABEL = 602,
    };
    // The custom list of the subject (PROBLEM).
    static constexpr short LIST_SUBJECT = 266;
    // The list's horizontal extent while it has lines, in pixels.
    static constexpr int LIST_EXTENT = 500;
    // The name of the inquiry library and of its function that lists the inquiries.
    static constexpr const char* INQUIRY_LIBRARY = "KWINQ";
    static constexpr const char* LIST_INQUIRY_FUNCTION = "xi_list_inquiry";
    // xi_list_inquiry(application, text, flags, name, name size): nonzero when the user
    // chose an inquiry; application (at most 2 characters) and name (at most 30) then hold
    // the choice.
    using ListInquiryFunction = short (*)(char* application, const char* text, short flags, char* name,
                                          short nameSize);
    static constexpr int INQUIRY_NAME_MAX = 30;

    // The page of the sheet's issue and link list (the sheet owns both).
    _niLinks(qvIssue* issue, std::vector<LinkedRecord*>* links);
    ~_niLinks() override;

    bool OnInitDialog() override;
    bool DoDataExchange(bool save) override;
    bool OnApply() override;
    bool LinksChanged() const override { return _linksChanged; }

    // The command handlers: add to the subject list (119), link to a record (114), unlink
    // the selected record (115), choose an inquiry (120), unlink the inquiry (117).
    void OnAddSubject();
    void OnLinkTo();
    void OnUnlink();
    void OnChooseInquiry();
    void OnUnlinkInquiry();

    // The list line of a link: "AP - Vendor:" with tabs after it, the key values each
    // followed by a blank, the data's description.
    static std::string LineText(const LinkedRecord& link);
    // The mark after the line of a link whose record is no longer in its file.
    static constexpr const char* MISSING_MARK = "  (record missing)";
    // Whether a link of the list was found to point to a record that is gone.
    bool IsMissing(const LinkedRecord* link) const { return _missing.count(link) != 0; }

    const std::string& Subject() const { return _subject; }
    const std::string& Inquiry() const { return _inquiry; }

    // The wizard of a "Link To..." in progress (nullptr otherwise); for callers that watch it.
    _niLinkWizard* RunningWizard() const { return _wizard; }

private:
    void FillList(int select);
    void UpdateButtons();
    // The list line of the link at index with its missing mark.
    QString Line(size_t index) const;

    std::unique_ptr<Ui::_niLinks> _ui;
    qvIssue* _issue;
    std::vector<LinkedRecord*>* _links;
    std::set<const LinkedRecord*> _missing;
    std::string _subject;
    std::string _inquiry;
    bool _linksChanged = false;
    _niLinkWizard* _wizard = nullptr;
};
