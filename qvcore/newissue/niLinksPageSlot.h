// What the New Issue sheet asks of its third page, the Links page: it is made for the
// sheet's issue and link list by a factory that the page registers when the library loads,
// and it says whether the user changed the links. The sheet holds a place for it, so the
// page slots in without a change to the sheet.
#pragma once

#include <vector>

class LinkedRecord;
class kwPropertyPage;
class qvIssue;

class niLinksPageSlot {
public:
    virtual ~niLinksPageSlot() = default;
    virtual bool LinksChanged() const = 0;

    // Makes the page (owned by the sheet from then on).
    using Factory = kwPropertyPage* (*)(qvIssue* issue, std::vector<LinkedRecord*>* links);
    // Called once by the Links page's own source file; nullptr removes the page again.
    static void Register(Factory factory);
    static Factory Registered();
};
