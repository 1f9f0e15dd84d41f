// Definitions from the dictionary and field values in the record buffers.
#include "RecordManagerInternal.h"

#include "kwcommon/xio.h"

#include <algorithm>
#include <cstring>

namespace kwio {

RecordBuffer* Buffer(OpenFile* f, short type) {
    auto it = f->buffers.find(type);
    return it == f->buffers.end() ? nullptr : &it->second;
}

short CheckRecordFile(OpenFile* f) {
    if (f->dictionaryOnly) return Fail(f, XIO_BAD_FILE_NUMBER, "only the dictionary is open");
    return XIO_OK;
}

} // namespace kwio

using kwio::Fail;
using kwio::FieldValue;
using kwio::Find;
using kwio::Ok;
using kwio::OpenFile;

namespace {

void InitialValue(const kwDictionary& dict, const xio_fld_def& field, FieldValue& value) {
    kwio::ResetValue(field, value);
    if (field.defaultItem > 0) {
        if (field.type >= XIO_CHOICE) value.number = field.defaultItem;
        else if (!kwio::IsText(field)) value.number = field.defaultItem;
        else {
            const auto& items = dict.items[field.number - 1];
            if (field.defaultItem <= static_cast<int>(items.size())) value.text = items[field.defaultItem - 1];
        }
    }
}

void CopyText(char* target, size_t size, const std::string& text) { std::snprintf(target, size, "%s", text.c_str()); }

// The value carrier filled as SetText and SetNumber fill it (text cut to 81 bytes on a
// character boundary, the rest zero), without their temporary copies: views read every
// field of every record they show this way.
const x_value_def kEmptyText = x_value_def::OfText("");
const x_value_def kEmptyNumber = x_value_def::OfNumber(0.0);

void CarryText(x_value_def* value, const std::string& text) {
    size_t size = text.size();
    if (size > static_cast<size_t>(X_VALUE_TEXT_MAX)) {
        size = static_cast<size_t>(X_VALUE_TEXT_MAX);
        while (size > 0 && (static_cast<unsigned char>(text[size]) & 0xC0) == 0x80) --size;
    }
    *value = kEmptyText;
    if (size) std::memcpy(value->text, text.data(), size);
}

void CarryNumber(x_value_def* value, double number) {
    *value = kEmptyNumber;
    value->number = number;
}

// A text field holds text up to its width and up to its first NUL.
void StoreText(const xio_fld_def& def, FieldValue& slot, const std::string& text) {
    const std::string_view whole(text.data(), std::min(text.size(), std::strlen(text.c_str())));
    if (def.width > 0 && whole.size() > static_cast<size_t>(def.width))
        slot.text = x_utf8_cut(whole, static_cast<size_t>(def.width));
    else
        slot.text = whole;
}

} // namespace

// ---- definitions ---------------------------------------------------------------------

short xio_get_def(short file, xio_def* def, short) {
    OpenFile* f = Find(file);
    if (!f) return XIO_BAD_FILE_NUMBER;
    *def = f->dict->file;
    CopyText(def->path, sizeof(def->path), f->path);
    CopyText(def->fileVersion, sizeof(def->fileVersion), f->storedDataVersion);
    return Ok(f);
}

short xio_get_rec_def(short file, short type, xio_rec_def* def, short) {
    OpenFile* f = Find(file);
    if (!f) return XIO_BAD_FILE_NUMBER;
    const xio_rec_def* rec = f->dict->RecordType(type);
    if (!rec) return Fail(f, XIO_BAD_RECORD_TYPE);
    *def = *rec;
    return Ok(f);
}

short xio_get_fld_def(short file, short field, xio_fld_def* def, short, short) {
    OpenFile* f = Find(file);
    if (!f) return XIO_BAD_FILE_NUMBER;
    const xio_fld_def* fd = f->dict->Field(field);
    if (!fd) return Fail(f, XIO_BAD_FIELD);
    *def = *fd;
    return Ok(f);
}

short xio_get_key_def(short file, short key, xio_key_def* def, short type) {
    OpenFile* f = Find(file);
    if (!f) return XIO_BAD_FILE_NUMBER;
    const xio_key_def* kd = f->dict->Key(type, key);
    if (!kd) return Fail(f, XIO_BAD_KEY);
    *def = *kd;
    return Ok(f);
}

short xio_get_item_alpha(short file, short field, short item, char* buffer, int size) {
    OpenFile* f = Find(file);
    if (!f) return XIO_BAD_FILE_NUMBER;
    if (size > 0) buffer[0] = 0;
    const xio_fld_def* fd = f->dict->Field(field);
    if (!fd) return Fail(f, XIO_BAD_FIELD);
    const auto& items = f->dict->items[field - 1];
    if (item < 1 || item > static_cast<short>(items.size())) return Fail(f, XIO_NO_RECORD);
    if (size > 0) {
        const std::string cut = x_utf8_cut(items[item - 1], static_cast<size_t>(size - 1));
        std::memcpy(buffer, cut.c_str(), cut.size() + 1);
    }
    return Ok(f);
}

short xio_num(short file, short, short, const char* name) {
    OpenFile* f = Find(file);
    if (!f || !name) return 0;
    return f->dict->FieldNumber(name);
}

// ---- field values --------------------------------------------------------------------

short xio_get_field(short file, short, short field, x_value_def* value) {
    OpenFile* f = Find(file);
    if (!f) return XIO_BAD_FILE_NUMBER;
    if (field < 1 || static_cast<size_t>(field) >= f->slots.size()) return Fail(f, XIO_BAD_FIELD);
    const kwio::FieldSlot& slot = f->slots[static_cast<size_t>(field)];
    if (slot.index < 0) return Fail(f, XIO_BAD_FIELD);
    const FieldValue& held = slot.header ? f->header[static_cast<size_t>(slot.index)]
                                         : slot.buffer->values[static_cast<size_t>(slot.index)];
    if (slot.text) CarryText(value, held.text);
    else CarryNumber(value, held.number);
    return Ok(f);
}

short xio_put_field(short file, short, short field, const x_value_def* value) {
    OpenFile* f = Find(file);
    if (!f) return XIO_BAD_FILE_NUMBER;
    const xio_fld_def* def = nullptr;
    FieldValue* slot = kwio::Slot(f, field, &def);
    if (!slot) return Fail(f, XIO_BAD_FIELD);
    if (kwio::IsText(*def)) StoreText(*def, *slot, value->AsText());
    else slot->number = value->AsNumber();
    return Ok(f);
}

namespace {

// The slot of a text field for the long-text calls: null with the status set otherwise.
FieldValue* TextSlot(OpenFile* f, short field, const xio_fld_def** def) {
    FieldValue* slot = kwio::Slot(f, field, def);
    if (!slot) {
        Fail(f, XIO_BAD_FIELD);
        return nullptr;
    }
    if (!kwio::IsText(**def)) {
        Fail(f, XIO_BAD_VALUE, std::string((*def)->name) + " is not a text field");
        return nullptr;
    }
    return slot;
}

} // namespace

short xio_get_long_text(short file, short field, std::string* text) {
    OpenFile* f = Find(file);
    if (!f) return XIO_BAD_FILE_NUMBER;
    const xio_fld_def* def = nullptr;
    FieldValue* slot = TextSlot(f, field, &def);
    if (!slot) return f->status;
    *text = slot->text;
    return Ok(f);
}

short xio_put_long_text(short file, short field, const std::string& text) {
    OpenFile* f = Find(file);
    if (!f) return XIO_BAD_FILE_NUMBER;
    const xio_fld_def* def = nullptr;
    FieldValue* slot = TextSlot(f, field, &def);
    if (!slot) return f->status;
    StoreText(*def, *slot, text);
    return Ok(f);
}

// ---- buffers -------------------------------------------------------------------------

namespace {

// Empties a record buffer (or sets it to the dictionary's defaults); no current record.
short ResetBuffer(short file, short type, bool defaults) {
    OpenFile* f = Find(file);
    if (!f) return XIO_BAD_FILE_NUMBER;
    kwio::RecordBuffer* buffer = kwio::Buffer(f, type);
    if (!buffer) return Fail(f, XIO_BAD_RECORD_TYPE);
    const xio_fld_def* field = &f->dict->fields[static_cast<size_t>(buffer->def->firstField - 1)];
    for (short i = 0; i < buffer->def->fieldCount; ++i) {
        if (defaults) InitialValue(*f->dict, field[i], buffer->values[i]);
        else kwio::ResetValue(field[i], buffer->values[i]);
    }
    buffer->rowid = 0;
    buffer->batch.key = -1;
    return Ok(f);
}

} // namespace

short xio_clr_record(short file, short type) { return ResetBuffer(file, type, false); }

short xio_init_record(short file, short type) { return ResetBuffer(file, type, true); }
