// E-mail through the mail service bound at run time.
#include "qvkit/mail/kclMail.h"

#include "qvkit/mail/kclMailLibrary.h"

#include "kwcommon/kwCompany.h"
#include "kwcommon/kwJsonFile.h"
#include "kwcommon/x_log.h"

#include <climits>
#include <cstring>
#include <unistd.h>

LPMAPISENDMAIL kclMail::_lpfnMAPISendMail = nullptr;
void* kclMail::_boundLibrary = nullptr;

namespace {
constexpr short kRecipientStep = 5;
constexpr size_t kSubjectCharacters = 255;

std::unique_ptr<char[]> Copy(const std::string& text) {
    auto copy = std::make_unique<char[]>(text.size() + 1);
    std::memcpy(copy.get(), text.c_str(), text.size() + 1);
    return copy;
}

// The byte length of the first `characters` UTF-8 characters of text.
size_t Utf8Prefix(const std::string& text, size_t characters) {
    size_t offset = 0;
    for (size_t count = 0; count < characters && offset < text.size(); ++count) {
        ++offset;
        while (offset < text.size() && (static_cast<unsigned char>(text[offset]) & 0xC0) == 0x80)
            ++offset;
    }
    return offset;
}

std::string CurrentFolder() {
    char folder[PATH_MAX];
    return getcwd(folder, sizeof folder) ? std::string(folder) : std::string();
}

// The "installed" mail setting: true, 1, or a text of at most 4 characters that starts with
// "1" ("1", "1.0"), the forms the suite's installers write. Any other type is a fault of
// company.json, logged with its place; the mail then counts as not installed.
bool MailInstalled() {
    const std::string file = kwCompany::IsOpen() ? kwCompany::Path("company.json") : "company.json";
    bool installed = false;
    std::string error;
    const bool sound = kwJsonLoad(file, &error, [&] {
        const auto mail = kwJsonNode(kwCompany::Settings(), file).Find("mail");
        if (!mail) return;
        const auto value = mail->ExpectObject().Find("installed");
        if (!value) return;
        const nlohmann::json& json = value->Json();
        if (json.is_boolean()) {
            installed = json.get<bool>();
        } else if (json.is_number_integer()) {
            installed = json == 1;
        } else if (json.is_string()) {
            const std::string text = json.get<std::string>();
            installed = !text.empty() && text.size() <= 4 && text[0] == '1';
        } else {
            value->Fail("must be true or false, 1 or 0, or a text such as \"1\"");
        }
    });
    if (!sound) x_log(0, error.c_str());
    return sound && installed;
}
} // namespace

kclMail::kclMail() {
    Initialise();
}

kclMail::kclMail(const std::string& to, const std::string& subject, const std::string& noteText,
                 ULONG flags) {
    Initialise();
    addRecipient(static_cast<short>(MAPI_TO), to);
    setSubject(subject);
    setNoteText(noteText);
    _mapiStatus = send(flags);
}

kclMail::~kclMail() {
    clearMail();
}

void kclMail::Initialise() {
    _mailState = MAIL_STATE_UNDETERMINED;
    if (const auto& replaced = SendMailSeam()) {
        _lpfnMAPISendMail = replaced();
        _boundLibrary = nullptr;
    } else if (void* library = kclMailLibrary::Handle(); !library) {
        _lpfnMAPISendMail = nullptr;
        _boundLibrary = nullptr;
        _mailState = MAIL_STATE_NO_LIBRARY;
    } else if (!_lpfnMAPISendMail || library != _boundLibrary) {
        _lpfnMAPISendMail = reinterpret_cast<LPMAPISENDMAIL>(kclMailLibrary::Symbol("MAPISendMail"));
        _boundLibrary = library;
        if (!_lpfnMAPISendMail) _mailState = MAIL_STATE_NO_ENTRY;
    }
    if (_lpfnMAPISendMail) _mailState = MAIL_STATE_BOUND;
}

bool kclMail::isEnabled() {
    return _mailState == MAIL_STATE_BOUND && MailInstalled();
}

void kclMail::addRecipient(short recipClass, const std::string& name) {
    if (name.empty()) return;
    if (_recipientCount >= _recipientCapacity) {
        const short capacity = static_cast<short>(_recipientCapacity + kRecipientStep);
        auto grown = std::make_unique<MapiRecipDesc[]>(static_cast<size_t>(capacity));
        for (short i = 0; i < _recipientCount; ++i)
            grown[i] = _recipients[i];
        _recipients = std::move(grown);
        _recipientCapacity = capacity;
    }
    MapiRecipDesc& descriptor = _recipients[_recipientCount];
    descriptor = MapiRecipDesc{};
    descriptor.ulRecipClass = static_cast<ULONG>(static_cast<long>(recipClass));
    _nameCopies.push_back(Copy(name));
    descriptor.lpszName = _nameCopies.back().get();
    ++_recipientCount;
}

void kclMail::setSubject(const std::string& subject) {
    _subject = subject;
}
void kclMail::setNoteText(const std::string& noteText) {
    _noteText = noteText;
}

ULONG kclMail::send(ULONG flags) {
    const std::string folder = CurrentFolder();
    if (_lpfnMAPISendMail) {
        _subject.resize(Utf8Prefix(_subject, kSubjectCharacters));
        _subjectCopy = Copy(_subject);
        _noteCopy = Copy(_noteText);
        _message.lpszSubject = _subjectCopy.get();
        _message.lpszNoteText = _noteCopy.get();
        _message.nRecipCount = static_cast<ULONG>(_recipientCount);
        _message.lpRecips = _recipientCount > 0 ? _recipients.get() : nullptr;
        _mapiStatus = _lpfnMAPISendMail(0, 0, &_message, flags, 0);
    }
    // Mail clients may change the current folder; the program's relative paths must not move.
    if (!folder.empty() && CurrentFolder() != folder) {
        if (chdir(folder.c_str()) != 0) {
            // The folder went away during the send; nothing better to return to.
        }
    }
    return _mapiStatus;
}

void kclMail::clearMail() {
    for (short i = 0; i < _recipientCount; ++i)
        _recipients[i] = MapiRecipDesc{};
    _nameCopies.clear();
    _recipientCount = 0;
    _subject.clear();
    _noteText.clear();
    _mapiStatus = MAPI_E_FAILURE;
    _subjectCopy.reset();
    _noteCopy.reset();
    _message = MapiMessage{};
}

kwSeam<LPMAPISENDMAIL()>& kclMail::SendMailSeam() {
    static kwSeam<LPMAPISENDMAIL()> seam;
    return seam;
}
