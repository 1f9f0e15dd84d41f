// The sheet keeps one page current; leaving a page asks it first (OnKillActive), so a value
// that does not pass its checks keeps the user on the page that holds it.
#include "kwapp/sheets/kwPropertySheet.h"

#include "kwapp/sheets/kwPropertyPage.h"
#include "kwapp/widgets/kwHelp.h"
#include "kwcommon/x_message.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

kwPropertySheet::kwPropertySheet(const QString& title, QWidget* parent, unsigned int helpId)
    : QDialog(parent), _title(title), _helpId(helpId) {
    setWindowTitle(title);
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    _wizardTitle = new QLabel(this);
    QFont bold = _wizardTitle->font();
    bold.setBold(true);
    _wizardTitle->setFont(bold);
    _wizardTitle->hide();
    layout->addWidget(_wizardTitle);
    _tabs = new QTabWidget(this);
    _stack = new QStackedWidget(this);
    _stack->hide();
    layout->addWidget(_tabs, 1);
    layout->addWidget(_stack, 1);
    auto* row = new QHBoxLayout();
    row->addStretch(1);
    const std::pair<int, const char*> buttons[] = {
        {ID_WIZBACK, "< &Back"}, {ID_WIZNEXT, "&Next >"}, {ID_WIZFINISH, "&Finish"},
        {ID_OK, "OK"},           {ID_CANCEL, "Cancel"},   {ID_APPLY, "&Apply"},
        {ID_HELP, "&Help"},
    };
    for (const auto& [id, text] : buttons) {
        auto* button = new QPushButton(QString::fromUtf8(text), this);
        button->setProperty("ctrlId", id);
        button->setAutoDefault(false);
        row->addWidget(button);
        _buttons.push_back(button);
    }
    layout->addLayout(row);
    Button(ID_OK)->setDefault(true);
    Button(ID_APPLY)->setEnabled(false);
    for (int id : {ID_WIZBACK, ID_WIZNEXT, ID_WIZFINISH})
        Button(id)->hide();
    Button(ID_HELP)->setEnabled(helpId != 0 && kwHelp::Available());

    connect(Button(ID_OK), &QPushButton::clicked, this, [this] { PressOK(); });
    connect(Button(ID_CANCEL), &QPushButton::clicked, this, [this] { PressCancel(); });
    connect(Button(ID_APPLY), &QPushButton::clicked, this, [this] { PressApply(); });
    connect(Button(ID_WIZBACK), &QPushButton::clicked, this, [this] { PressBack(); });
    connect(Button(ID_WIZNEXT), &QPushButton::clicked, this, [this] { PressNext(); });
    connect(Button(ID_WIZFINISH), &QPushButton::clicked, this, [this] { PressFinish(); });
    connect(Button(ID_HELP), &QPushButton::clicked, this, [this] {
        const kwPropertyPage* page = ActivePage();
        kwHelp::ShowTopic(page && page->HelpId() ? page->HelpId() : _helpId);
    });
    connect(_tabs, &QTabWidget::currentChanged, this, [this](int index) { OnTabChanged(index); });
}

kwPropertySheet::~kwPropertySheet() = default;

void kwPropertySheet::AddPage(kwPropertyPage* page) {
    if (!page) return;
    page->AttachToSheet(this);
    _pages.push_back(page);
    _switching = true;
    if (_wizard) _stack->addWidget(page);
    else _tabs->addTab(page, page->Title());
    _switching = false;
    if (_initialised) {
        ArrangeTabOrder();
        if (_active < 0) ShowPage(0);
    }
}

void kwPropertySheet::AddTrailingTabStop(QWidget* widget) {
    if (!widget) return;
    _trailingTabStops.push_back(widget);
    if (_initialised) ArrangeTabOrder();
}

void kwPropertySheet::ArrangeTabOrder() {
    // The last control of the pages that takes the focus (Qt orders only those); the pages'
    // own controls keep the order their templates gave them.
    QWidget* last = _wizard ? nullptr : _tabs->tabBar();
    for (QWidget* w = nextInFocusChain(); w && w != this; w = w->nextInFocusChain()) {
        if (w->focusPolicy() == Qt::NoFocus) continue;
        for (kwPropertyPage* page : _pages)
            if (page->isAncestorOf(w)) last = w;
    }
    if (!last) return;
    std::vector<QWidget*> order;
    for (int id : {ID_WIZBACK, ID_WIZNEXT, ID_WIZFINISH, ID_OK, ID_CANCEL, ID_APPLY, ID_HELP})
        order.push_back(Button(id));
    order.insert(order.end(), _trailingTabStops.begin(), _trailingTabStops.end());
    for (QWidget* next : order) {
        QWidget::setTabOrder(last, next);
        last = next;
    }
}

void kwPropertySheet::FocusFirstControl() {
    kwPropertyPage* page = ActivePage();
    if (!page) return;
    for (QWidget* w = nextInFocusChain(); w && w != this; w = w->nextInFocusChain()) {
        if (!page->isAncestorOf(w)) continue;
        if ((w->focusPolicy() & Qt::TabFocus) != Qt::TabFocus) continue;
        if (!w->isEnabled() || !w->isVisibleTo(page)) continue;
        w->setFocus(Qt::TabFocusReason);
        return;
    }
}

kwPropertyPage* kwPropertySheet::Page(int index) const {
    return index >= 0 && index < PageCount() ? _pages[static_cast<size_t>(index)] : nullptr;
}

kwPropertyPage* kwPropertySheet::ActivePage() const { return Page(_active); }

QPushButton* kwPropertySheet::Button(int id) const {
    for (QPushButton* button : _buttons)
        if (button->property("ctrlId").toInt() == id) return button;
    return nullptr;
}

void kwPropertySheet::SetWizardMode() {
    if (_wizard) return;
    _wizard = true;
    _switching = true;
    while (_tabs->count() > 0)
        _tabs->removeTab(0);
    for (kwPropertyPage* page : _pages)
        _stack->addWidget(page);
    _switching = false;
    _tabs->hide();
    _stack->show();
    _wizardTitle->show();
    for (int id : {ID_OK, ID_APPLY})
        Button(id)->hide();
    for (int id : {ID_WIZBACK, ID_WIZNEXT, ID_WIZFINISH})
        Button(id)->show();
}

void kwPropertySheet::SetWizardButtons(int flags) {
    _wizardFlags = flags;
    UpdateWizardButtons();
}

void kwPropertySheet::UpdateWizardButtons() {
    if (!_wizard) return;
    int flags = _wizardFlags;
    if (flags < 0) {
        flags = 0;
        if (_active > 0) flags |= PSWIZB_BACK;
        flags |= _active + 1 < PageCount() ? PSWIZB_NEXT : PSWIZB_FINISH;
    }
    const bool finish = (flags & (PSWIZB_FINISH | PSWIZB_DISABLEDFINISH)) != 0;
    Button(ID_WIZBACK)->setEnabled((flags & PSWIZB_BACK) != 0);
    Button(ID_WIZNEXT)->setVisible(!finish);
    Button(ID_WIZNEXT)->setEnabled((flags & PSWIZB_NEXT) != 0);
    Button(ID_WIZFINISH)->setVisible(finish);
    Button(ID_WIZFINISH)->setEnabled((flags & PSWIZB_FINISH) != 0);
    Button(finish ? ID_WIZFINISH : ID_WIZNEXT)->setDefault(true);
}

bool kwPropertySheet::OnInitDialog() {
    if (!_pages.empty()) ShowPage(0);
    return true;
}

void kwPropertySheet::setVisible(bool visible) {
    if (visible && !_initialised) {
        _initialised = true;
        OnInitDialog();
        ArrangeTabOrder();
        // Typing goes into the page at once, not into the tabs.
        FocusFirstControl();
    }
    QDialog::setVisible(visible);
}

void kwPropertySheet::showEvent(QShowEvent* event) { QDialog::showEvent(event); }

void kwPropertySheet::ShowPage(int index) {
    kwPropertyPage* page = Page(index);
    if (!page) return;
    page->EnsureCreated();
    // A page may refuse to become current; the sheet then stays where it was.
    const int previous = _active;
    _active = index;
    _wizardFlags = -1;
    if (!page->OnSetActive() && previous >= 0 && previous != index) {
        _active = previous;
        page = Page(previous);
    }
    _switching = true;
    if (_wizard) _stack->setCurrentWidget(page);
    else _tabs->setCurrentWidget(page);
    _switching = false;
    if (_wizard) _wizardTitle->setText(page->Title());
    UpdateWizardButtons();
    // A wizard's step starts in its first field; a tab keeps the focus where the user put it.
    if (_wizard && _initialised) FocusFirstControl();
}

bool kwPropertySheet::SetActivePage(int index) {
    if (!Page(index)) return false;
    if (index == _active) return true;
    if (kwPropertyPage* current = ActivePage(); current && !current->OnKillActive()) {
        ShowPage(_active); // the tab bar may already show the other page
        return false;
    }
    ShowPage(index);
    return _active == index;
}

void kwPropertySheet::OnTabChanged(int index) {
    if (_switching || !_initialised) return;
    SetActivePage(index);
}

bool kwPropertySheet::AnyModified() const {
    for (kwPropertyPage* page : _pages)
        if (page->IsCreated() && page->IsModified()) return true;
    return false;
}

void kwPropertySheet::PageModified() { Button(ID_APPLY)->setEnabled(AnyModified()); }

bool kwPropertySheet::ApplyAll() {
    for (int i = 0; i < PageCount(); ++i) {
        kwPropertyPage* page = _pages[static_cast<size_t>(i)];
        if (!page->IsCreated()) continue;
        if (!page->OnApply()) {
            if (i != _active) ShowPage(i);
            return false;
        }
    }
    PageModified();
    return true;
}

bool kwPropertySheet::PressOK() {
    if (kwPropertyPage* page = ActivePage(); page && !page->OnKillActive()) return false;
    if (!ApplyAll()) return false;
    _result = ID_OK;
    QDialog::accept();
    return true;
}

bool kwPropertySheet::PressApply() {
    if (kwPropertyPage* page = ActivePage(); page && !page->OnKillActive()) return false;
    return ApplyAll();
}

void kwPropertySheet::PressCancel() { reject(); }

void kwPropertySheet::reject() {
    if (_handleModifications && AnyModified()) {
        switch (xw_wr_message(0, XW_SAVE, "Do you want to save your changes?", 0)) {
        case XW_ANSWER_YES:
            if (_wizard) PressFinish();
            else PressOK();
            return;
        case XW_ANSWER_NO:
            break;
        default:
            return; // stay
        }
    }
    for (kwPropertyPage* page : _pages)
        if (page->IsCreated()) page->OnCancel();
    _result = ID_CANCEL;
    QDialog::reject();
}

bool kwPropertySheet::PressBack() {
    if (!_wizard || _active <= 0) return false;
    kwPropertyPage* page = ActivePage();
    if (page->OnWizardBack() != 0) return false;
    ShowPage(_active - 1);
    return true;
}

bool kwPropertySheet::PressNext() {
    if (!_wizard || _active + 1 >= PageCount()) return false;
    kwPropertyPage* page = ActivePage();
    if (!page->OnKillActive() || page->OnWizardNext() != 0) return false;
    ShowPage(_active + 1);
    return true;
}

bool kwPropertySheet::PressFinish() {
    if (!_wizard) return false;
    kwPropertyPage* page = ActivePage();
    if (page && (!page->OnKillActive() || !page->OnWizardFinish())) return false;
    if (!ApplyAll()) return false;
    _result = ID_WIZFINISH;
    QDialog::accept();
    return true;
}

int kwPropertySheet::DoModal() {
    _result = ID_CANCEL;
    exec();
    return _result;
}
