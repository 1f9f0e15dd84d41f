// The control file is held open for the page's life so that the activations of one Apply
// are written together. The issue file is looked at only to list its keys; bringing its
// indexes up to date is the record manager's (xio_update_keys), which builds an index of a
// large file under a progress dialog here, and is refused with a clear message while anyone
// else has the file open, so no one works on a file whose indexes are being rebuilt.
#include "qvcore/options/PPSysOrders.h"

#include "ui_PPSysOrders.h"

#include "qvcore/store/qvIssueFile.h"
#include "qvcore/tasks/qvCommands.h"

#include "kwapp/app/kwApplication.h"
#include "kwapp/frame/kwAppFrame.h"

#include "kwcommon/conditions/xc_alt_keys.h"
#include "kwcommon/kwioFile.h"
#include "kwcommon/x_message.h"
#include "kwcommon/x_text.h"
#include "kwcommon/xio.h"

#include <QApplication>
#include <QListWidget>
#include <QProgressDialog>

PPSysOrders::PPSysOrders()
    : kwPropertyPage(QStringLiteral("Select Orders"), TEMPLATE_ID),
      _ui(std::make_unique<Ui::PPSysOrders>()), _controlFile(xc_open_control_file(1)) {
    _ui->setupUi(this);
    connect(_ui->orders, &QListWidget::itemChanged, this, [this] { SetModified(true); });
}

PPSysOrders::~PPSysOrders() {
    if (_controlFile > 0) xc_cls_control_file(_controlFile);
}

bool PPSysOrders::OnInitDialog() {
    qvIssueFile file(QV_CMD_OPTIONS);
    if (file.Open()) {
        xio_def def{};
        if (xio_get_def(file.Number(), &def, 0) == XIO_OK) {
            for (short k = 1; k <= def.keyCount; ++k) {
                xio_key_def key{};
                if (xio_get_key_def(file.Number(), k, &key, QV_RECORD_ISSUE) != XIO_OK) continue;
                const std::string name = x_init_caps(key.name);
                // Keys the system keeps for itself, and the dictionary's unnamed spare keys,
                // are no orders.
                if (key.internal != 0 || key.userOrder != 1 || x_strpos(name.c_str(), "Alternate Key") != 0)
                    continue;
                _items.push_back({name, k, xc_alt_key_active(FILE_ABBREV, k) != 0});
            }
        }
        file.Close();
    }
    {
        const QSignalBlocker quiet(_ui->orders);
        for (const OrderItem& item : _items) {
            auto* line = new QListWidgetItem(QString::fromStdString(item.name), _ui->orders);
            line->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
            line->setCheckState(item.active ? Qt::Checked : Qt::Unchecked);
        }
    }
    // Without the control file nothing could be switched: the list only shows.
    if (_controlFile <= 0) _ui->orders->setEnabled(false);
    return true;
}

bool PPSysOrders::DoDataExchange(bool save) {
    if (!save) return true;
    for (size_t i = 0; i < _items.size(); ++i) {
        const bool checked = _ui->orders->item(static_cast<int>(i))->checkState() == Qt::Checked;
        if (checked == _items[i].active) continue;
        _items[i].active = checked;
        SetModified(true);
    }
    return true;
}

void PPSysOrders::ShowStatus(const char* text) {
    if (kwApplication* app = KWGetApp(); app && app->MainWindow())
        app->MainWindow()->SetMessageText(QString::fromLatin1(text));
}

short PPSysOrders::UpdateKeysWithProgress(const std::vector<std::pair<short, bool>>& switched) {
    // Anyone else in the file would read and write it while its indexes change.
    {
        kwioDataFile alone;
        const short status = alone.PromptedOpen(FILE_ABBREV, QV_CMD_OPTIONS, "", 0, false, true, true);
        if (status == XIO_LOCKED) return XIO_LOCKED;
    }
    QProgressDialog progress(QStringLiteral("Upgrading the QV Issue file..."), QString(), 0, 100,
                             QApplication::activeWindow());
    progress.setWindowTitle(QStringLiteral("Select Orders"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(300);
    progress.setAutoClose(true);
    xio_key_changes* changes = nullptr;
    for (const auto& [key, active] : switched)
        changes = xio_key_chg_def(FILE_ABBREV, changes, key, active ? 1 : 0);
    x_wait_on("Upgrading the QV Issue file");
    const short status = xio_update_keys(changes, [&progress](int percent, const std::string& stage) {
        progress.setLabelText(QString::fromStdString(stage));
        if (percent >= 0) progress.setValue(percent);
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        return true;
    });
    x_wait_off();
    progress.setValue(100);
    return status;
}

bool PPSysOrders::OnApply() {
    if (IsCreated()) DoDataExchange(true);
    // The keys switched now; the record manager's change list is made only for an update.
    std::vector<std::pair<short, bool>> switched;
    for (const OrderItem& item : _items) {
        if ((xc_alt_key_active(FILE_ABBREV, item.key) != 0) == item.active) continue;
        const short status = item.active ? xc_activate_alt_key(FILE_ABBREV, item.key)
                                         : xc_deactivate_alt_key(FILE_ABBREV, item.key);
        if (status != XIO_OK) continue;
        switched.emplace_back(item.key, item.active);
    }
    if (!switched.empty() && xw_wr_message(0, XW_YESNO, UPGRADE_QUESTION, 0) == XW_ANSWER_YES) {
        const short status = UpdateKeysWithProgress(switched);
        if (status == XIO_LOCKED) xw_wr_message(0, XW_INFO, FILE_IN_USE, 0);
        ShowStatus(status == XIO_OK ? UPDATE_DONE : UPDATE_FAILED);
    }
    if (_controlFile > 0 && xc_wr_control_file(_controlFile) == 0) xc_rd_control_file(_controlFile);
    return kwPropertyPage::OnApply();
}
