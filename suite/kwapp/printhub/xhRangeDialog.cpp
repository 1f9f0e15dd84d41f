// The range dialog: values are typed as the user sees them and checked by the range set
// itself, so a value the field cannot hold is refused with the field's name.
#include "kwapp/printhub/xhRangeDialog.h"

#include "ui_xhRangeDialog.h"

#include "kwprint/xr.h"

#include "kwcommon/x_message.h"
#include "kwcommon/xio.h"
#include "kwcommon/xio_dict.h"

#include <QLineEdit>

namespace {
std::string Trimmed(const QString& text) { return text.trimmed().toStdString(); }
} // namespace

xhRangeDialog::xhRangeDialog(short rangeSet, const std::string& field, QWidget* parent)
    : kwDialog(0, parent), _ui(std::make_unique<Ui::xhRangeDialog>()), _rangeSet(rangeSet), _field(field) {
    _ui->setupUi(this);
    WireStandardButtons();
    connect(_ui->clear, &QPushButton::clicked, this, [this] {
        _ui->from->clear();
        _ui->to->clear();
        _ui->from->setFocus();
    });
    const short file = xr_range_file(rangeSet);
    _fieldNumber = file ? xio_num(file, 0, 0, field.c_str()) : 0;
    xio_fld_def def{};
    if (_fieldNumber && xio_get_fld_def(file, _fieldNumber, &def, 0, 0) == XIO_OK) {
        _fieldType = def.type;
        _description = def.description;
    }
    if (_description.empty()) _description = field;
}

xhRangeDialog::~xhRangeDialog() = default;

std::string xhRangeDialog::Shown(const x_value_def& value) const {
    if (value.IsNumber() && value.number == 0) return "";
    return value.AsText();
}

bool xhRangeDialog::OnInitDialog() {
    _ui->explanation->setText(
        QStringLiteral("Print the records whose %1 lies between these values. Leave an end empty to leave it open.")
            .arg(QString::fromStdString(_description)));
    return kwDialog::OnInitDialog();
}

bool xhRangeDialog::DoDataExchange(bool save) {
    if (!save) {
        xr_range_def range;
        if (xr_get_range(_rangeSet, _field.c_str(), &range)) {
            _ui->from->setText(QString::fromStdString(range.hasFrom ? Shown(range.from) : ""));
            _ui->to->setText(QString::fromStdString(range.hasTo ? Shown(range.to) : ""));
        }
        return true;
    }
    const std::string from = Trimmed(_ui->from->text()), to = Trimmed(_ui->to->text());
    const auto refuse = [&](QLineEdit* edit, const std::string& text) {
        xw_wr_message(0, XW_ERROR, text.c_str(), 0);
        edit->setFocus();
        edit->selectAll();
        return false;
    };
    // Checked before anything is put, so that a refused value leaves the set as it was.
    const x_value_def low = x_value_def::OfText(from), high = x_value_def::OfText(to);
    const short probe = xr_init_range(xr_range_file(_rangeSet), xr_range_record_type(_rangeSet));
    const bool lowOk = from.empty() || xr_put_field(probe, _field.c_str(), XR_FROM, &low);
    const bool highOk = to.empty() || xr_put_field(probe, _field.c_str(), XR_TO, &high);
    xr_term_range(probe);
    if (!lowOk) return refuse(_ui->from, "\"" + from + "\" is not a valid " + _description + ".");
    if (!highOk) return refuse(_ui->to, "\"" + to + "\" is not a valid " + _description + ".");
    if (_fieldType == XIO_NUMBER && !from.empty() && !to.empty() && low.AsNumber() > high.AsNumber())
        return refuse(_ui->from, "The range's first " + _description + " is above its last one.");
    if (from.empty() && to.empty()) {
        xr_del_range(_rangeSet, _field.c_str());
        return true;
    }
    if (!from.empty()) xr_put_field(_rangeSet, _field.c_str(), XR_FROM, &low);
    if (!to.empty()) xr_put_field(_rangeSet, _field.c_str(), XR_TO, &high);
    return xr_put_range(_rangeSet) != 0;
}
