// Records between the record buffer and the grid's copies.
#include "kwdm/data/kwdmRecord.h"

#include "kwcommon/xio.h"

#include <algorithm>

bool kwdmRecordLayout::Load(short file, short type) {
    xio_rec_def rec{};
    if (xio_get_rec_def(file, type, &rec, 1) != XIO_OK) return false;
    _file = file;
    _type = type;
    _first = rec.firstField;
    _isText.assign(static_cast<size_t>(rec.fieldCount), false);
    _ignoreCase.assign(static_cast<size_t>(rec.fieldCount), false);
    for (short i = 0; i < rec.fieldCount; ++i) {
        xio_fld_def def{};
        if (xio_get_fld_def(file, static_cast<short>(_first + i), &def, 1, 1) != XIO_OK) continue;
        _isText[static_cast<size_t>(i)] = def.type == XIO_TEXT || def.type == XIO_PHONE;
        _ignoreCase[static_cast<size_t>(i)] = def.caseFlag != 0;
    }
    return true;
}

kwdmFieldValue kwdmRecordLayout::Get(short field) const {
    kwdmFieldValue value;
    if (IsText(field)) {
        xio_get_long_text(_file, field, &value.text);
    } else {
        x_value_def carrier;
        xio_get_field(_file, 0, field, &carrier);
        value.number = carrier.AsNumber();
    }
    return value;
}

void kwdmRecordLayout::Read(kwdmRecord& record) const {
    record.values.resize(_isText.size());
    record.rowid = xio_save_record(_file, _type);
    record.attachments = -1;
    for (short i = 0; i < FieldCount(); ++i) {
        const short field = static_cast<short>(_first + i);
        kwdmFieldValue& value = record.values[static_cast<size_t>(i)];
        if (_isText[static_cast<size_t>(i)]) {
            xio_get_long_text(_file, field, &value.text);
        } else {
            x_value_def carrier;
            xio_get_field(_file, 0, field, &carrier);
            value.number = carrier.AsNumber();
        }
    }
}

void kwdmRecordLayout::Put(const kwdmRecord& record) const {
    for (short i = 0; i < FieldCount() && static_cast<size_t>(i) < record.values.size(); ++i) {
        const short field = static_cast<short>(_first + i);
        const kwdmFieldValue& value = record.values[static_cast<size_t>(i)];
        if (_isText[static_cast<size_t>(i)]) xio_put_long_text(_file, field, value.text);
        else {
            const x_value_def carrier = x_value_def::OfNumber(value.number);
            xio_put_field(_file, 0, field, &carrier);
        }
    }
}

int kwdmRecordLayout::Compare(short field, const kwdmFieldValue& a, const kwdmFieldValue& b) const {
    if (!IsText(field)) return a.number < b.number ? -1 : (b.number < a.number ? 1 : 0);
    if (!IgnoresCase(field)) {
        const int c = a.text.compare(b.text);
        return c < 0 ? -1 : (c > 0 ? 1 : 0);
    }
    // As SQLite's NOCASE: ASCII letters folded, every other byte as it is.
    const size_t n = std::min(a.text.size(), b.text.size());
    for (size_t i = 0; i < n; ++i) {
        auto fold = [](char c) {
            const auto u = static_cast<unsigned char>(c);
            return u >= 'A' && u <= 'Z' ? static_cast<unsigned char>(u + 32) : u;
        };
        const unsigned char x = fold(a.text[i]), y = fold(b.text[i]);
        if (x != y) return x < y ? -1 : 1;
    }
    return a.text.size() < b.text.size() ? -1 : (a.text.size() > b.text.size() ? 1 : 0);
}
