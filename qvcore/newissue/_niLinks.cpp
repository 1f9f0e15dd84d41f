// The page edits the sheet's link list in place and stores it only when the sheet is
// confirmed, so Cancel leaves the issue's links as they were. The links of an edited
// issue are looked up in their applications' files when the page opens: a record deleted
// since it was linked shows marked, and can be unlinked.
#include "qvcore/newissue/_niLinks.h"

#include "ui__niLinks.h"

#include "qvcore/newissue/_niGeneral.h"
#include "qvcore/newissue/_niLinkWizard.h"
#include "qvcore/newissue/niLinkList.h"
#include "qvcore/newissue/niPropSheet.h"
#include "qvcore/store/LinkedRecord.h"
#include "qvcore/store/qvErrorMessage.h"
#include "qvcore/store/qvIssue.h"
#include "qvcore/store/qvLiteral.h"
#include "qvcore/strings/qvcoreStrings.h"
#include "qvcore/tasks/qvCommands.h"

#include "qvkit/strings/kclRCString.h"
#include "qvkit/text/kclTermCode.h"

#include "kwapp/suitedlg/xcl_edit_custom_list.h"
#include "kwapp/widgets/kwEdit.h"

#include "kwcommon/x_message.h"
#include "kwcommon/x_value_def.h"
#include "kwcommon/xdll_load.h"
#include "kwcommon/xk.h"

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTextOption>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

constexpr const char* kModule = QVCORE_MODULE;

QString Q(const std::string& text) { return QString::fromStdString(text); }

// List lines with tab stops, as the suite's list boxes show them: every 32 dialog units
// (eight average characters), so the key values of the lines stand in columns.
class TabbedLineDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        const QString text = opt.text;
        opt.text.clear();
        const QWidget* widget = opt.widget;
        QStyle* style = widget ? widget->style() : nullptr;
        if (style) style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);
        painter->save();
        painter->setFont(opt.font);
        const bool selected = (opt.state & QStyle::State_Selected) != 0;
        painter->setPen(opt.palette.color(opt.state & QStyle::State_Enabled ? QPalette::Normal : QPalette::Disabled,
                                          selected ? QPalette::HighlightedText : QPalette::Text));
        QTextOption textOption(Qt::AlignLeft | Qt::AlignVCenter);
        textOption.setWrapMode(QTextOption::NoWrap);
        textOption.setTabStopDistance(TabStop(opt.fontMetrics));
        const QRect area = opt.rect.adjusted(4, 0, -2, 0);
        painter->drawText(QRectF(area), text, textOption);
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        // The horizontal extent of a list with lines: long lines scroll into view.
        size.setWidth(_niLinks::LIST_EXTENT);
        return size;
    }

    static qreal TabStop(const QFontMetrics& metrics) { return metrics.averageCharWidth() * 8.0; }
};

// The application code and the name of a linked inquiry's text: split at the separator's
// first character, the name after the separator's length.
void SplitInquiry(const std::string& text, std::string* application, std::string* name) {
    const std::string separator = qvLiteral(QVL_SEPARATOR, -1, kModule).str();
    const size_t at = separator.empty() ? std::string::npos : text.find(separator.front());
    if (at == std::string::npos) {
        *application = text;
        name->clear();
        return;
    }
    *application = text.substr(0, at);
    *name = at + separator.size() <= text.size() ? text.substr(at + separator.size()) : std::string();
}

std::string Upper(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return text;
}

kwPropertyPage* MakePage(qvIssue* issue, std::vector<LinkedRecord*>* links) { return new _niLinks(issue, links); }

// The sheet finds its third page through the slot.
const bool registered = (niLinksPageSlot::Register(&MakePage), true);

} // namespace

_niLinks::_niLinks(qvIssue* issue, std::vector<LinkedRecord*>* links)
    : kwPropertyPage(Q(qvLiteral(QVL_LINKS, -1, kModule).str()), TEMPLATE_ID), _ui(std::make_unique<Ui::_niLinks>()),
      _issue(issue), _links(links) {
    (void)registered;
    _ui->setupUi(this);
    _ui->links->setItemDelegate(new TabbedLineDelegate(_ui->links));
    _ui->subject->setLineEdit(new kwEdit(_ui->subject));
    _ui->subject->setInsertPolicy(QComboBox::NoInsert);
    connect(_ui->addSubject, &QPushButton::clicked, this, [this] { OnAddSubject(); });
    connect(_ui->linkTo, &QPushButton::clicked, this, [this] { OnLinkTo(); });
    connect(_ui->unlink, &QPushButton::clicked, this, [this] { OnUnlink(); });
    connect(_ui->chooseInquiry, &QPushButton::clicked, this, [this] { OnChooseInquiry(); });
    connect(_ui->unlinkInquiry, &QPushButton::clicked, this, [this] { OnUnlinkInquiry(); });
    connect(_ui->subject, &QComboBox::currentTextChanged, this, [this] {
        if (IsCreated()) SetModified();
    });
}

_niLinks::~_niLinks() = default;

std::string _niLinks::LineText(const LinkedRecord& link) {
    std::string line = link.applAbbrev + " - " + link.recDesc + ":\t";
    if (line.size() <= 10) line += "\t";
    if (line.size() <= 16) line += "\t";
    for (const std::string& value : link.keyValues)
        line += value + " ";
    return line + link.dataDesc;
}

QString _niLinks::Line(size_t index) const {
    const LinkedRecord* link = (*_links)[index];
    std::string line = LineText(*link);
    if (IsMissing(link)) {
        while (!line.empty() && line.back() == ' ')
            line.pop_back();
        line += MISSING_MARK;
    }
    return Q(line);
}

bool _niLinks::OnInitDialog() {
    if (!_issue || !_links) return DoDataExchange(false);
    if (xk_width(LIST_SUBJECT, 0) != 0) {
        char text[32];
        std::snprintf(text, sizeof text, "&<%dF>:", LIST_SUBJECT);
        _ui->subjectLabel->setText(Q(kclRepTermCode(text)));
    }
    static_cast<kwEdit*>(_ui->subject->lineEdit())->SetByteLimit(_issue->Width(QV_PROBLEM));
    _subject = _issue->Value(QV_PROBLEM).Format();
    _niGeneral::FillFromCustomList(_ui->subject, LIST_SUBJECT, _subject);

    _ui->inquiry->SetByteLimit(_issue->Width(QV_INQNAME));
    _ui->inquiry->setEnabled(false);
    _inquiry = _issue->Value(QV_INQNAME).Format();

    // Links read back from the issue file: where each record is, and whether it still is.
    for (LinkedRecord* link : *_links) {
        if (!link->dictName.empty()) continue; // made in this sheet
        if (niCheckLinkedRecord(*link, _issue->ProgramNumber()) == niLinkedRecordState::Missing)
            _missing.insert(link);
    }
    DoDataExchange(false);
    FillList(0);
    return true;
}

bool _niLinks::DoDataExchange(bool save) {
    if (save) {
        _subject = static_cast<kwEdit*>(_ui->subject->lineEdit())->Text();
        _inquiry = _ui->inquiry->Text();
        return true;
    }
    const QSignalBlocker quiet(_ui->subject);
    _ui->subject->setEditText(Q(_subject));
    _ui->inquiry->SetText(_inquiry);
    _ui->unlinkInquiry->setEnabled(!_inquiry.empty());
    return true;
}

void _niLinks::FillList(int select) {
    _ui->links->clear();
    if (_links)
        for (size_t i = 0; i < _links->size(); ++i)
            _ui->links->addItem(Line(i));
    if (_ui->links->count() > 0)
        _ui->links->setCurrentRow(std::clamp(select, 0, _ui->links->count() - 1));
    UpdateButtons();
}

void _niLinks::UpdateButtons() {
    const bool any = _ui->links->count() > 0;
    _ui->unlink->setEnabled(any);
    _ui->links->setHorizontalScrollBarPolicy(any ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
}

void _niLinks::OnAddSubject() {
    DoDataExchange(true);
    xcl_edit_custom_list(LIST_SUBJECT);
    _niGeneral::FillFromCustomList(_ui->subject, LIST_SUBJECT, _subject);
    {
        const QSignalBlocker quiet(_ui->subject);
        _ui->subject->setEditText(Q(_subject));
    }
    _ui->subject->setFocus();
}

void _niLinks::OnLinkTo() {
    if (!_issue || !_links) return;
    std::unique_ptr<LinkedRecord> link;
    {
        _niLinkWizard wizard(_issue->ProgramNumber(), this);
        _wizard = &wizard;
        const int answer = wizard.DoModal();
        _wizard = nullptr;
        if (answer == kwPropertySheet::ID_WIZFINISH) link = wizard.TakeResult();
    }
    if (!link) {
        UpdateButtons();
        return;
    }
    _linksChanged = true;
    SetModified();
    int index = -1;
    if (niAddLink(*_links, std::move(link), _issue->ProgramNumber(), &index) == niAddOutcome::Duplicate) {
        xw_wr_message(0, XW_INFO, "A link to the record already exists.", 0);
        _ui->links->setCurrentRow(index);
        UpdateButtons();
        return;
    }
    // The links the new one replaced are gone from the list; so are their marks.
    for (auto it = _missing.begin(); it != _missing.end();) {
        const bool kept = std::find(_links->begin(), _links->end(), *it) != _links->end();
        it = kept ? std::next(it) : _missing.erase(it);
    }
    FillList(index);
}

void _niLinks::OnUnlink() {
    if (!_links || _ui->links->count() == 0) return;
    const int row = _ui->links->currentRow();
    if (row < 0 || static_cast<size_t>(row) >= _links->size()) return;
    const std::string line = _ui->links->item(row)->text().replace(QLatin1Char('\t'), QLatin1Char(' ')).toStdString();
    kclRCString message(kModule);
    if (message.Display(XW_YESNO, QVM_UNLINK_INQUIRY, line) != XW_ANSWER_YES) return;
    _linksChanged = true;
    SetModified();
    LinkedRecord* link = (*_links)[static_cast<size_t>(row)];
    _links->erase(_links->begin() + row);
    _missing.erase(link);
    delete link;
    FillList(row);
}

void _niLinks::OnChooseInquiry() {
    DoDataExchange(true);
    std::string application, name;
    SplitInquiry(_inquiry, &application, &name);

    const short library = xdll_load_dll(INQUIRY_LIBRARY);
    if (!library) {
        qvErrorMessage error(100, static_cast<short>(QV_CMD_NEW_ISSUE), kModule);
        return;
    }
    auto list = reinterpret_cast<ListInquiryFunction>(xdll_get_function(library, LIST_INQUIRY_FUNCTION));
    if (!list) {
        qvErrorMessage error(101, static_cast<short>(QV_CMD_NEW_ISSUE), kModule);
        return;
    }
    // Room for more than the library should write, so a longer answer is cut, not spilled.
    char applicationBuffer[16] = {};
    char nameBuffer[INQUIRY_NAME_MAX + 1] = {};
    std::strncpy(applicationBuffer, x_utf8_cut(application, 2).c_str(), 2);
    const std::string current = x_utf8_cut(name, INQUIRY_NAME_MAX);
    std::memcpy(nameBuffer, current.data(), current.size());
    if (list(applicationBuffer, "", 0, nameBuffer, static_cast<short>(sizeof nameBuffer)) == 0) return;
    applicationBuffer[sizeof applicationBuffer - 1] = '\0';
    nameBuffer[sizeof nameBuffer - 1] = '\0';

    const std::string chosenApplication = Upper(x_utf8_cut(applicationBuffer, 2));
    const std::string chosenName = x_utf8_cut(nameBuffer, INQUIRY_NAME_MAX);
    _inquiry = x_utf8_cut(chosenApplication + qvLiteral(QVL_SEPARATOR, -1, kModule).str() + chosenName,
                          static_cast<size_t>(std::max(0, _issue ? _issue->Width(QV_INQNAME) : 35)));
    _ui->inquiry->SetText(_inquiry);
    _ui->unlinkInquiry->setEnabled(true);
    SetModified();
}

void _niLinks::OnUnlinkInquiry() {
    DoDataExchange(true);
    kclRCString message(kModule);
    if (message.Display(XW_YESNO, QVM_UNLINK_INQUIRY, _inquiry) != XW_ANSWER_YES) return;
    _inquiry.clear();
    _ui->inquiry->SetText(_inquiry);
    _ui->unlinkInquiry->setEnabled(false);
    SetModified();
}

bool _niLinks::OnApply() {
    if (!_issue || !_links) return kwPropertyPage::OnApply();
    DoDataExchange(true);
    _issue->Value(QV_PROBLEM).Set(_subject);
    _issue->Value(QV_INQNAME).Set(_inquiry);
    // The stored links could not be removed (told by the data library): nothing was
    // written, and the sheet stays open so the user can try again. A link that could not
    // be written completely has been told too; the others are stored all the same.
    if (!niStoreLinks(*_issue, *_links)) return false;
    if (auto* sheet = dynamic_cast<niPropSheet*>(Sheet())) sheet->SetDataChanged();
    return kwPropertyPage::OnApply();
}
