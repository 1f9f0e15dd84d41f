// The notification step: the mail service is the real one, its windows answered through its
// scripted-answer seam, and the mail read back from the company's outbox or a local SMTP peer.
#include "qvcore/newissue/niNotify.h"
#include "qvcore/tasks/qvCommands.h"

#include "qvcore/store/LinkedRecord.h"
#include "qvcore/store/qvIssue.h"

#include "qvkit/mail/kclMail.h"
#include "qvkit/mail/kclMailLibrary.h"

#include "kwcommon/kwCompany.h"
#include "kwcommon/values/kwBool.h"
#include "kwcommon/x_message.h"

#include "SmtpResponder.h"
#include "TestCompany.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <arpa/inet.h>
#include <filesystem>
#include <fstream>
#include <memory>
#include <netinet/in.h>
#include <sstream>
#include <sys/socket.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {
void ScriptAnswers(const std::vector<int>& answers) {
    auto script =
        reinterpret_cast<LPMAPISCRIPTANSWERS>(kclMailLibrary::Symbol("mapi_script_answers"));
    ASSERT_NE(script, nullptr) << "the mail service is built next to the tests";
    script(answers.data(), static_cast<int>(answers.size()));
}

int ScriptedAnswersLeft() {
    auto left = reinterpret_cast<LPMAPISCRIPTEDANSWERSLEFT>(
        kclMailLibrary::Symbol("mapi_scripted_answers_left"));
    return left ? left() : -1;
}


bool EmailFlag(qvIssue& issue) {
    return static_cast<kwBool&>(issue.Value(QV_EMAIL)).Get();
}

class Notification : public ::testing::Test {
protected:
    void SetUp() override {
        ScriptAnswers({});
        xw_clear_shown_messages();
        issue = std::make_unique<qvIssue>(0, QV_CMD_NEW_ISSUE, false);
        issue->Value(QV_ISSUE).Set("17");
        issue->Value(QV_FORMESS).Set("Printer offline");
        issue->Value(QV_RESPONS).Set("DANA");
        issue->Value(QV_NOTIFY_OTHERS).Set("LEE");
        issue->Value(QV_EMAIL).Set("Yes");
    }
    void TearDown() override {
        ScriptAnswers({});
        xw_clear_shown_messages();
    }

    std::vector<fs::path> Outbox() const {
        std::vector<fs::path> files;
        std::error_code ec;
        for (const auto& entry : fs::directory_iterator(company.Path("outbox"), ec))
            files.push_back(entry.path());
        return files;
    }

    // The one stored message: its unfolded headers by name and its body.
    std::pair<std::map<std::string, std::string>, std::string> OnlyMessage() const {
        const std::vector<fs::path> files = Outbox();
        EXPECT_EQ(files.size(), 1u);
        if (files.size() != 1) return {};
        std::ifstream in(files[0], std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        const std::string all = text.str();
        const size_t split = all.find("\r\n\r\n");
        std::map<std::string, std::string> headers;
        std::istringstream head(all.substr(0, split));
        std::string line, name;
        while (std::getline(head, line)) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (!line.empty() && line[0] == ' ') {
                headers[name] += line;
            } else {
                name = line.substr(0, line.find(':'));
                headers[name] = line.substr(line.find(':') + 2);
            }
        }
        return {headers, all.substr(split + 4)};
    }

    void SetMail(const nlohmann::json& values) { company.UpdateSettings("mail", values); }

    TestCompany company{false};
    std::unique_ptr<qvIssue> issue;
};
} // namespace

TEST_F(Notification, MailsTheIssueWithItsLinks) {
    LinkedRecord vendor;
    vendor.applAbbrev = "AP";
    vendor.recDesc = "Vendor";
    vendor.keyValues = {"V100"};
    vendor.dataDesc = "Acme Supply ";
    LinkedRecord invoice;
    invoice.applAbbrev = "AP";
    invoice.recDesc = "Invoice";
    invoice.keyValues = {"V100", "INV-7"};
    invoice.dataDesc = "";

    ScriptAnswers({MAPI_ANSWER_OK});
    niSendNotification(true, *issue, {&vendor, &invoice}, true);
    EXPECT_EQ(ScriptedAnswersLeft(), 0) << "the compose window was asked for";
    EXPECT_TRUE(xw_shown_messages().empty());
    EXPECT_TRUE(EmailFlag(*issue)) << "sent: EMAIL stays set";

    const auto [headers, body] = OnlyMessage();
    EXPECT_EQ(headers.at("Subject"), "New Issue: Printer offline");
    EXPECT_EQ(headers.at("To"),
              "Dana Whitfield <dana.whitfield@example.com>, Lee Okafor <lee.okafor@example.com>")
        << "responsible person and the others to notify";
    const std::string expectedBody = "\r\n-------------------------\r\n" + issue->NotifyText() +
                                     "Linked Records:\r\n"
                                     "AP - Vendor: V100 Acme Supply \r\n"
                                     "AP - Invoice: V100 INV-7 \r\n";
    EXPECT_EQ(body, expectedBody) << "literal 49's line feeds arrive as CRLF";
}

TEST_F(Notification, SubjectTakesTheFirstSixtyCharactersOfTheMessage) {
    const std::string sixty(60, 'm');
    issue->Value(QV_FORMESS).Set(sixty);
    ScriptAnswers({MAPI_ANSWER_OK});
    niSendNotification(false, *issue, {}, true);
    auto [headers, body] = OnlyMessage();
    EXPECT_EQ(headers.at("Subject"), "Edit Issue: " + sixty) << "exactly 60: whole, no dots";
    EXPECT_GE(body.size(), 17u);
    EXPECT_EQ(body.substr(body.size() - 17), "Linked Records:\r\n")
        << "no links: the list ends the text";

    fs::remove_all(company.Path("outbox"));
    issue->Value(QV_FORMESS).Set(sixty + "x");
    ScriptAnswers({MAPI_ANSWER_OK});
    niSendNotification(true, *issue, {}, true);
    EXPECT_EQ(OnlyMessage().first.at("Subject"), "New Issue: " + sixty + "...");
}

TEST_F(Notification, CheckBoxOffSendsNothing) {
    ScriptAnswers({MAPI_ANSWER_OK});
    niSendNotification(true, *issue, {}, false);
    EXPECT_TRUE(Outbox().empty());
    EXPECT_EQ(ScriptedAnswersLeft(), 1) << "no window was opened";
    EXPECT_TRUE(xw_shown_messages().empty());
    EXPECT_TRUE(EmailFlag(*issue)) << "EMAIL untouched";
}

TEST_F(Notification, CancelPassesQuietly) {
    ScriptAnswers({MAPI_ANSWER_CANCEL});
    niSendNotification(true, *issue, {}, true);
    EXPECT_TRUE(Outbox().empty());
    EXPECT_TRUE(xw_shown_messages().empty()) << "a cancel is the user's own choice";
    EXPECT_FALSE(EmailFlag(*issue)) << "the issue shows that no notice went out";
}

TEST_F(Notification, SendFailureShowsError201) {
    SetMail({{"host", "127.0.0.1"}, {"port", SmtpResponder::ClosedPort()}, {"security", "none"}});
    ScriptAnswers({MAPI_ANSWER_OK});
    niSendNotification(true, *issue, {}, true);
    ASSERT_EQ(xw_shown_messages().size(), 1u);
    EXPECT_EQ(xw_shown_messages()[0].type, XW_ERROR);
    EXPECT_EQ(
        xw_shown_messages()[0].text,
        "Notify message could not be sent.  Make sure you are logged on to email and re-send the "
        "issue.  [QV0201]");
    EXPECT_FALSE(EmailFlag(*issue));

    // An unknown recipient is a failure the user must hear about too.
    xw_clear_shown_messages();
    SetMail({{"host", ""}});
    issue->Value(QV_RESPONS).Set("Nobody Here");
    issue->Value(QV_EMAIL).Set("Yes");
    ScriptAnswers({MAPI_ANSWER_OK});
    niSendNotification(true, *issue, {}, true);
    ASSERT_EQ(xw_shown_messages().size(), 1u);
    EXPECT_NE(xw_shown_messages()[0].text.find("[QV0201]"), std::string::npos);
    EXPECT_TRUE(Outbox().empty());
}

TEST_F(Notification, NoMailServiceShowsError202) {
    const std::string expected = "Unable to load MAPI32.DLL.  Cannot mail the issue.  [QV0202]";
    {
        auto missing = kclMailLibrary::FileSeam().Replace([] { return std::string("libmapi-not-there.so"); });
        niSendNotification(true, *issue, {}, true);
        ASSERT_EQ(xw_shown_messages().size(), 1u);
        EXPECT_EQ(xw_shown_messages()[0].text, expected);
        EXPECT_FALSE(EmailFlag(*issue));
    }

    // The service is there but mail is not installed for the company.
    xw_clear_shown_messages();
    issue->Value(QV_EMAIL).Set("Yes");
    SetMail({{"installed", false}});
    ScriptAnswers({MAPI_ANSWER_OK});
    niSendNotification(true, *issue, {}, true);
    ASSERT_EQ(xw_shown_messages().size(), 1u);
    EXPECT_EQ(xw_shown_messages()[0].text, expected);
    EXPECT_EQ(ScriptedAnswersLeft(), 1) << "nothing was handed to the service";
    EXPECT_FALSE(EmailFlag(*issue));
    EXPECT_TRUE(Outbox().empty());
}
