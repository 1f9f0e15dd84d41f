// The rules by which an issue's link list takes a new link, and the storing of the list
// with the issue. An issue holds one value per kind of key field (its link fields), so it
// holds at most one link per kind of first key field: a new link replaces the links whose
// first key field is of its kind. A link to a record with a several-part key brings the
// links to its parent records (a phase its job, an invoice its vendor), found through the
// application's issue dictionary. The Links page and qvadmin keep a list by these rules.
#pragma once

#include <memory>
#include <vector>

class LinkedRecord;
class qvIssue;

// The last link of the list that is the same link as `link`; -1 when there is none.
int niFindSameLink(const std::vector<LinkedRecord*>& links, const LinkedRecord& link);
// Removes and deletes every link whose first key field has the kind code and qualifier of
// link's first key field.
void niRemoveSameFirstKind(std::vector<LinkedRecord*>& links, const LinkedRecord& link);
// The links to the parent records of a link with two or more key fields: for each other
// record type of the application's issue dictionary whose k key fields (k fewer than the
// link's) match the link's first k key fields, a link to the record holding the link's
// first k key values, when the k-th of them is not empty. Each is completed from the
// first data dictionary whose record type has that key (dictionary, record type, its
// description and the record's description). A parent whose data is not found keeps
// those empty and is still a link.
std::vector<std::unique_ptr<LinkedRecord>> niParentLinks(const LinkedRecord& link, short programNumber);

// What became of a new link.
enum class niAddOutcome { Added, Duplicate };
// Takes a new link into the list: a link already there is refused (*index names it);
// otherwise links of the same first key kind go, its parent links come, and the link is
// appended (*index is its place, the last).
niAddOutcome niAddLink(std::vector<LinkedRecord*>& links, std::unique_ptr<LinkedRecord> link, short programNumber,
                       int* index);

// Completes a link read back from the issue file with where its record is (dictionary,
// record type; the dictionary of the first data record type with its key) and looks the
// record up. The record's state:
enum class niLinkedRecordState {
    Present, // the record is there
    Missing, // its data file holds no such record (any more)
    Unknown, // the data file or its dictionary is not to be had: nothing can be said
};
niLinkedRecordState niCheckLinkedRecord(LinkedRecord& link, short programNumber);

// Stores the list with the issue: the stored links and their cross-references go, the
// issue's link fields take the key values of every link (sectioned keys unformatted),
// and each link is written with its cross-reference. false when the stored links could
// not be removed (told by the data library; nothing was written). A link that could not
// be written completely is told by the data library and the others are written all the
// same; *complete (when given) says whether every one was.
bool niStoreLinks(qvIssue& issue, const std::vector<LinkedRecord*>& links, bool* complete = nullptr);
