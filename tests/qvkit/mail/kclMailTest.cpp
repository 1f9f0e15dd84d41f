// kclMail on its own: recipients, subject, clearing, binding, the current folder and the
// "installed" setting, with a send function of the test's own bound in place of the service.
#include "qvkit/mail/kclMail.h"
#include "qvkit/mail/kclMailLibrary.h"

#include "kwcommon/kwCompany.h"

#include "TestCompany.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <climits>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace {
// What the fake service saw in its last call.
struct Seen {
    int calls = 0;
    ULONG flags = 0;
    std::string subject;
    std::string note;
    std::vector<std::pair<ULONG, std::string>> recipients;
    bool addressesNull = true;
};
Seen seen;
ULONG fakeAnswer = SUCCESS_SUCCESS;
bool fakeChangesFolder = false;

ULONG FakeSendMail(LHANDLE, ULONG_PTR, MapiMessage* message, FLAGS flags, ULONG) {
    ++seen.calls;
    seen.flags = flags;
    seen.subject = message->lpszSubject ? message->lpszSubject : "(null)";
    seen.note = message->lpszNoteText ? message->lpszNoteText : "(null)";
    seen.recipients.clear();
    seen.addressesNull = true;
    for (ULONG i = 0; i < message->nRecipCount; ++i) {
        seen.recipients.emplace_back(message->lpRecips[i].ulRecipClass,
                                     message->lpRecips[i].lpszName);
        seen.addressesNull = seen.addressesNull && message->lpRecips[i].lpszAddress == nullptr;
    }
    if (fakeChangesFolder && chdir("/") != 0) ADD_FAILURE() << "cannot change folder";
    return fakeAnswer;
}

std::string CurrentFolder() {
    char folder[PATH_MAX];
    return getcwd(folder, sizeof folder) ? folder : "";
}

// The folder as getcwd spells it (the temporary folder may sit behind a symbolic link).
std::string CurrentFolderOf(const std::string& folder) {
    char resolved[PATH_MAX];
    return realpath(folder.c_str(), resolved) ? resolved : folder;
}

// Rewrites the company's mail setting "installed" (absent when value is null) and reopens it.
void SetInstalled(const TestCompany& company, const nlohmann::json& value) {
    nlohmann::json settings;
    std::ifstream(company.Path("company.json")) >> settings;
    if (value.is_null())
        settings["mail"].erase("installed");
    else
        settings["mail"]["installed"] = value;
    std::ofstream(company.Path("company.json")) << settings.dump(2);
    std::string error;
    ASSERT_TRUE(kwCompany::Open(company.Folder(), &error)) << error;
}

class kclMailFake : public ::testing::Test {
protected:
    void SetUp() override {
        seen = Seen{};
        fakeAnswer = SUCCESS_SUCCESS;
        fakeChangesFolder = false;
    }
    kwSeam<LPMAPISENDMAIL()>::Guard fake = kclMail::SendMailSeam().Replace([] { return &FakeSendMail; });
};
} // namespace

TEST_F(kclMailFake, RecipientsGrowInStepsOfFiveAndGoOutByName) {
    kclMail mail;
    EXPECT_EQ(mail.mailState(), MAIL_STATE_BOUND);
    EXPECT_EQ(mail.mapiStatus(), MAPI_E_FAILURE) << "general failure until a send was made";
    mail.addRecipient(1, "");
    EXPECT_EQ(mail.recipientCount(), 0) << "an empty name adds nothing";
    EXPECT_EQ(mail.recipientCapacity(), 0);

    for (int i = 1; i <= 5; ++i)
        mail.addRecipient(1, "Person " + std::to_string(i));
    EXPECT_EQ(mail.recipientCapacity(), 5);
    mail.addRecipient(2, "Person 6");
    EXPECT_EQ(mail.recipientCount(), 6);
    EXPECT_EQ(mail.recipientCapacity(), 10) << "the sixth recipient grows the array by 5";
    EXPECT_STREQ(mail.recipients()[0].lpszName, "Person 1") << "old descriptors survive the growth";

    mail.setSubject("Subject");
    mail.setNoteText("Body\r\n");
    EXPECT_EQ(mail.send(9), SUCCESS_SUCCESS);
    EXPECT_EQ(seen.calls, 1);
    EXPECT_EQ(seen.flags, 9u);
    ASSERT_EQ(seen.recipients.size(), 6u);
    EXPECT_EQ(seen.recipients[0], (std::pair<ULONG, std::string>{1, "Person 1"}));
    EXPECT_EQ(seen.recipients[5], (std::pair<ULONG, std::string>{2, "Person 6"}));
    EXPECT_TRUE(seen.addressesNull) << "the service resolves the names itself";
    EXPECT_EQ(seen.subject, "Subject");
    EXPECT_EQ(seen.note, "Body\r\n");
}

TEST_F(kclMailFake, SubjectIsCutTo255Characters) {
    kclMail mail;
    mail.addRecipient(1, "DANA");
    mail.setSubject(std::string(300, 's'));
    mail.send(0);
    EXPECT_EQ(seen.subject, std::string(255, 's'));
    EXPECT_EQ(mail.subject().size(), 255u) << "the member keeps the shortened subject";

    std::string accented;
    for (int i = 0; i < 300; ++i)
        accented += "\xC3\xA9";
    mail.setSubject(accented);
    mail.send(0);
    EXPECT_EQ(seen.subject, accented.substr(0, 510)) << "255 characters, not 255 bytes";

    mail.setSubject("short");
    mail.send(0);
    EXPECT_EQ(seen.subject, "short");
}

TEST_F(kclMailFake, ClearMailMakesTheObjectReusable) {
    fakeAnswer = MAPI_E_UNKNOWN_RECIPIENT;
    kclMail mail("Nobody", "First", "One", 0);
    EXPECT_EQ(mail.mapiStatus(), MAPI_E_UNKNOWN_RECIPIENT)
        << "the sending constructor keeps the status";
    EXPECT_EQ(seen.recipients.size(), 1u);

    mail.clearMail();
    EXPECT_EQ(mail.mapiStatus(), MAPI_E_FAILURE);
    EXPECT_EQ(mail.recipientCount(), 0);
    EXPECT_EQ(mail.recipientCapacity(), 5) << "the array stays";
    EXPECT_EQ(mail.subject(), "");
    EXPECT_EQ(mail.noteText(), "");
    EXPECT_EQ(mail.getMapiMessage().lpszSubject, nullptr) << "the message is zeroed";
    EXPECT_EQ(mail.getMapiMessage().nRecipCount, 0u);

    fakeAnswer = SUCCESS_SUCCESS;
    mail.addRecipient(1, "LEE");
    mail.setSubject("Second");
    EXPECT_EQ(mail.send(0), SUCCESS_SUCCESS);
    ASSERT_EQ(seen.recipients.size(), 1u);
    EXPECT_EQ(seen.recipients[0].second, "LEE");
    EXPECT_EQ(seen.subject, "Second");
    EXPECT_EQ(seen.note, "");
}

TEST_F(kclMailFake, TheCurrentFolderSurvivesTheSend) {
    const std::string start = CurrentFolder();
    const std::string folder = TestCompany::MakeTempFolder("qvmail-cwd-");
    ASSERT_EQ(chdir(folder.c_str()), 0);
    fakeChangesFolder = true; // the fake goes to "/"
    kclMail mail;
    mail.addRecipient(1, "DANA");
    mail.send(0);
    EXPECT_EQ(seen.calls, 1);
    EXPECT_EQ(CurrentFolder(), CurrentFolderOf(folder));
    ASSERT_EQ(chdir(start.c_str()), 0);
    rmdir(folder.c_str());
}

TEST_F(kclMailFake, IsEnabledReadsTheInstalledSetting) {
    TestCompany company(false);
    kclMail mail;
    const std::pair<nlohmann::json, bool> cases[] = {
        {true, true},
        {"1", true},
        {"1.0", true},
        {1, true},
        {false, false},
        {"0", false},
        {"", false},
        {"10000", false},
        {0, false},
        {nullptr, false},
        {"1 yes", false} /* 5 characters */,
    };
    for (const auto& [value, expected] : cases) {
        SetInstalled(company, value);
        EXPECT_EQ(mail.isEnabled(), expected) << "installed = " << value.dump();
    }
    SetInstalled(company, nlohmann::json::array({1}));
    EXPECT_FALSE(mail.isEnabled()) << "a value of another type is no installation";
    std::stringstream log;
    log << std::ifstream(kwCompany::LogFile()).rdbuf();
    EXPECT_NE(log.str().find("company.json: mail.installed must be true or false"), std::string::npos)
        << "and is logged with its place: " << log.str();

    SetInstalled(company, true);
    auto missing = kclMailLibrary::FileSeam().Replace([] { return std::string("libmapi-not-there.so"); });
    auto real = kclMail::SendMailSeam().Replace(nullptr); // the library's own send function
    kclMail unbound;
    EXPECT_EQ(unbound.mailState(), MAIL_STATE_NO_LIBRARY);
    EXPECT_FALSE(unbound.isEnabled()) << "installed but no service";
}

TEST(kclMail, MissingLibraryOrEntryLeavesMailUnbound) {
    {
        auto missing = kclMailLibrary::FileSeam().Replace([] { return std::string("libmapi-not-there.so"); });
        kclMail mail;
        EXPECT_EQ(mail.mailState(), MAIL_STATE_NO_LIBRARY);
        mail.addRecipient(1, "DANA");
        EXPECT_EQ(mail.send(9), MAPI_E_FAILURE) << "nothing sent: the previous status comes back";
        EXPECT_EQ(mail.recipientCount(), 1) << "the mail can still be built";
    }
    // A library that loads but has no MAPISendMail.
    {
        auto noEntry = kclMailLibrary::FileSeam().Replace([] { return std::string("libkwcommon.so"); });
        kclMail mail;
        EXPECT_EQ(mail.mailState(), MAIL_STATE_NO_ENTRY);
    }
    {
        kclMail mail;
        EXPECT_EQ(mail.mailState(), MAIL_STATE_BOUND) << "the mail service next to the program";
    }
}
