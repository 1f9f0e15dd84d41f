// Definitions from the dictionary and field values in the record buffers.
#include "RecordManagerInternal.h"

#include "kwcommon/xio.h"

#include <cstring>

namespace kwio {

bool IsText(const xio_fld_def& field) { return field.type == XIO_TEXT || field.type == XIO_PHONE; }

void ResetValue(const xio_fld_def& field, FieldValue& value) {
    value.text.clear();
    value.number = field.type == XIO_TIME ? -1.0 : 0.0;
}

RecordBuffer* Buffer(OpenFile* f, short type) {
    auto it = f->buffers.find(type);
    return it == f->buffers.end() ? nullptr : &it->second;
}

FieldValue* Slot(OpenFile* f, short field, const xio_fld_def** def) {
    if (field < 1 || static_cast<size_t>(field) >= f->slots.size()) return nullptr;
    const FieldSlot& slot = f->slots[static_cast<size_t>(field)];
    if (slot.index < 0) return nullptr;
    *def = &f->dict->fields[static_cast<size_t>(field) - 1];
    return slot.header ? &f->header[static_cast<size_t>(slot.index)] : &slot.buffer->values[static_cast<size_t>(slot.index)];
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

void StoreText(const xio_fld_def& def, FieldValue& slot, const std::string& text) {
    if (def.width > 0 && text.size() > static_cast<size_t>(def.width))
        slot.text = x_utf8_cut(text, static_cast<size_t>(def.width));
    else
        slot.text = text;
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
    const xio_fld_def* def = nullptr;
    FieldValue* slot = kwio::Slot(f, field, &def);
    if (!slot) return Fail(f, XIO_BAD_FIELD);
    if (kwio::IsText(*def)) value->SetText(slot->text);
    else value->SetNumber(slot->number);
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

short xio_get_long_text(short file, short field, std::string* text) {
    OpenFile* f = Find(file);
    if (!f) return XIO_BAD_FILE_NUMBER;
    const xio_fld_def* def = nullptr;
    FieldValue* slot = kwio::Slot(f, field, &def);
    if (!slot) return Fail(f, XIO_BAD_FIELD);
    if (!kwio::IsText(*def)) return Fail(f, XIO_BAD_VALUE, std::string(def->name) + " is not a text field");
    *text = slot->text;
    return Ok(f);
}

short xio_put_long_text(short file, short field, const std::string& text) {
    OpenFile* f = Find(file);
    if (!f) return XIO_BAD_FILE_NUMBER;
    const xio_fld_def* def = nullptr;
    FieldValue* slot = kwio::Slot(f, field, &def);
    if (!slot) return Fail(f, XIO_BAD_FIELD);
    if (!kwio::IsText(*def)) return Fail(f, XIO_BAD_VALUE, std::string(def->name) + " is not a text field");
    StoreText(*def, *slot, text);
    return Ok(f);
}

// ---- buffers -------------------------------------------------------------------------

short xio_clr_record(short file, short type) {
    OpenFile* f = Find(file);
    if (!f) return XIO_BAD_FILE_NUMBER;
    kwio::RecordBuffer* buffer = kwio::Buffer(f, type);
    if (!buffer) return Fail(f, XIO_BAD_RECORD_TYPE);
    for (short i = 0; i < buffer->def->fieldCount; ++i)
        kwio::ResetValue(f->dict->fields[static_cast<size_t>(buffer->def->firstField + i - 1)], buffer->values[i]);
    buffer->rowid = 0;
    buffer->batch.key = -1;
    return Ok(f);
}

short xio_init_record(short file, short type) {
    OpenFile* f = Find(file);
    if (!f) return XIO_BAD_FILE_NUMBER;
    kwio::RecordBuffer* buffer = kwio::Buffer(f, type);
    if (!buffer) return Fail(f, XIO_BAD_RECORD_TYPE);
    for (short i = 0; i < buffer->def->fieldCount; ++i)
        InitialValue(*f->dict, *f->dict->Field(static_cast<short>(buffer->def->firstField + i)), buffer->values[i]);
    buffer->rowid = 0;
    buffer->batch.key = -1;
    return Ok(f);
}
