// The mail service driven through kclMail: messages stored in the outbox (content, encoding,
// atomic files), recipients resolved against the operators, the compose and logon windows,
// and SMTP against a responder on a loopback port.
#include "TestApplication.h"
#include "qvkit/mail/kclMail.h"
#include "qvkit/mail/kclMailLibrary.h"

#include "SmtpResponder.h"
#include "TestCompany.h"

#include "kwcommon/kwCompany.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <sstream>

namespace fs = std::filesystem;

namespace {
// Control ids of the service's windows.
constexpr int kSendId = 1, kCancelId = 2, kToId = 1001, kSubjectId = 1004, kTextId = 1005,
              kNoticeId = 1006, kPasswordId = 1012;

void EnsureApplication() { TestApplication(); }

template <class T> T* FindById(QWidget* root, int id) {
    for (T* widget : root->findChildren<T*>())
        if (widget->property("ctrlId").toInt() == id) return widget;
    return nullptr;
}

// Waits on the event loop for a visible dialog that has a control with id `marker`, then
// acts on it.
void WhenDialogShows(int marker, std::function<void(QDialog*)> act) {
    auto* timer = new QTimer(QCoreApplication::instance());
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, marker, act] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* dialog = qobject_cast<QDialog*>(widget);
            if (!dialog || !dialog->isVisible() || !FindById<QWidget>(dialog, marker)) continue;
            timer->stop();
            timer->deleteLater();
            if (const char* folder = std::getenv("QV_GRAB_DIR")) {
                dialog->grab().save(QString(folder) + "/mail-window-" + QString::number(marker) +
                                    ".png");
            }
            act(dialog);
            return;
        }
    });
    timer->start();
}

void ScriptAnswers(const std::vector<int>& answers) {
    auto script =
        reinterpret_cast<LPMAPISCRIPTANSWERS>(kclMailLibrary::Symbol("mapi_script_answers"));
    ASSERT_NE(script, nullptr);
    script(answers.data(), static_cast<int>(answers.size()));
}

int ScriptedAnswersLeft() {
    auto left = reinterpret_cast<LPMAPISCRIPTEDANSWERSLEFT>(
        kclMailLibrary::Symbol("mapi_scripted_answers_left"));
    return left ? left() : -1;
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

struct ParsedMessage {
    std::vector<std::string> headerLines;       // as stored, folded
    std::map<std::string, std::string> headers; // unfolded, by name
    std::string body;
};

ParsedMessage Parse(const std::string& text) {
    ParsedMessage message;
    const size_t end = text.find("\r\n\r\n");
    const std::string head = text.substr(0, end);
    message.body = end == std::string::npos ? "" : text.substr(end + 4);
    size_t start = 0;
    while (start < head.size()) {
        size_t stop = head.find("\r\n", start);
        if (stop == std::string::npos) stop = head.size();
        message.headerLines.push_back(head.substr(start, stop - start));
        start = stop + 2;
    }
    std::string name;
    for (const std::string& line : message.headerLines) {
        if (!line.empty() && line[0] == ' ') {
            message.headers[name] += line;
        } else {
            name = line.substr(0, line.find(':'));
            message.headers[name] = line.substr(line.find(':') + 2);
        }
    }
    return message;
}


// An unfolded header value made of encoded words, decoded; blanks between words dropped.
std::string DecodeWords(const std::string& value) {
    std::string out;
    std::istringstream words(value);
    std::string word;
    while (words >> word) {
        EXPECT_EQ(word.rfind("=?UTF-8?B?", 0), 0u) << "not an encoded word: " << word;
        EXPECT_LE(word.size(), 75u) << "encoded words are at most 75 characters";
        out += SmtpResponder::DecodeBase64(word.substr(10, word.size() - 12));
    }
    return out;
}

std::string DecodeQuotedPrintable(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '=') {
            out += text[i];
        } else if (text.compare(i + 1, 2, "\r\n") == 0) {
            i += 2;
        } else {
            out += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
            i += 2;
        }
    }
    return out;
}

class MailService : public ::testing::Test {
protected:
    void SetUp() override {
        ScriptAnswers({});
    }
    void TearDown() override { ScriptAnswers({}); }

    // Files in the outbox folder, every name (temporary ones included).
    std::vector<fs::path> OutboxFiles() const {
        std::vector<fs::path> files;
        std::error_code ec;
        for (const auto& entry : fs::directory_iterator(company.Path("outbox"), ec))
            files.push_back(entry.path());
        return files;
    }

    // Merges values into the company's "mail" settings and reopens the company.
    void SetMail(const nlohmann::json& values) { company.UpdateSettings("mail", values); }

    TestCompany company{false};
};
} // namespace

TEST_F(MailService, OutboxMessageIsEncodedRfc5322) {
    const std::string subject =
        "Überweisung prüfen – 5 € für Café Ünïcode, bitte bis Freitag erledigen";
    const std::string note = "First line\nZweite Zeile: Grüße\r\n.line starting with a dot\rlast";
    kclMail mail;
    mail.addRecipient(MAPI_TO, "Dana Whitfield");
    mail.addRecipient(MAPI_TO, "lee");
    mail.addRecipient(MAPI_CC, "Someone Else <someone@example.org>");
    mail.addRecipient(MAPI_BCC, "hidden@example.org");
    mail.setSubject(subject);
    mail.setNoteText(note);
    ASSERT_EQ(mail.send(0), SUCCESS_SUCCESS);

    const std::vector<fs::path> files = OutboxFiles();
    ASSERT_EQ(files.size(), 1u) << "one message, no temporary file left";
    EXPECT_EQ(files[0].extension(), ".eml");
    const std::string text = ReadFile(files[0]);
    const ParsedMessage message = Parse(text);

    for (const std::string& line : message.headerLines) {
        EXPECT_LE(line.size(), 76u) << "header line too long: " << line;
        EXPECT_EQ(line.find('\n'), std::string::npos);
    }
    EXPECT_EQ(message.headers.at("From"), "<quorvel@demo.example>");
    EXPECT_EQ(message.headers.at("To"),
              "Dana Whitfield <dana.whitfield@example.com>, Lee Okafor <lee.okafor@example.com>")
        << "operators by name and by id (any case)";
    EXPECT_EQ(message.headers.at("Cc"), "Someone Else <someone@example.org>");
    EXPECT_EQ(message.headers.count("Bcc"), 0u) << "blind copies stay out of the headers";
    EXPECT_EQ(text.find("hidden@example.org"), std::string::npos);
    EXPECT_EQ(DecodeWords(message.headers.at("Subject")), subject);
    EXPECT_EQ(message.headers.at("MIME-Version"), "1.0");
    EXPECT_EQ(message.headers.at("Content-Type"), "text/plain; charset=UTF-8");
    EXPECT_EQ(message.headers.at("Content-Transfer-Encoding"), "quoted-printable");
    EXPECT_EQ(message.headers.count("Date"), 1u);
    EXPECT_EQ(message.headers.at("Message-ID").back(), '>');

    size_t start = 0;
    while (start < message.body.size()) {
        const size_t end = message.body.find("\r\n", start);
        ASSERT_NE(end, std::string::npos) << "every body line ends in CRLF";
        EXPECT_LE(end - start, 76u) << "quoted-printable lines stay short";
        start = end + 2;
    }
    EXPECT_EQ(DecodeQuotedPrintable(message.body),
              "First line\r\nZweite Zeile: Grüße\r\n.line starting with a dot\r\nlast\r\n")
        << "the text comes back whole, every line end a CRLF";
}

TEST_F(MailService, PlainMessagesStayReadableAndHeadersCannotBeInjected) {
    kclMail mail;
    mail.addRecipient(MAPI_TO, "DANA; lee.okafor@example.com");
    mail.setSubject("Pump failure\r\nBcc: evil@example.net");
    mail.setNoteText("Line one\r\nLine two");
    ASSERT_EQ(mail.send(0), SUCCESS_SUCCESS);
    const std::vector<fs::path> files = OutboxFiles();
    ASSERT_EQ(files.size(), 1u);
    const ParsedMessage message = Parse(ReadFile(files[0]));
    EXPECT_EQ(message.headers.at("To"),
              "Dana Whitfield <dana.whitfield@example.com>, <lee.okafor@example.com>")
        << "a list of an id and an address";
    EXPECT_EQ(message.headers.at("Subject"), "Pump failure  Bcc: evil@example.net")
        << "the line end became blanks inside the subject";
    EXPECT_EQ(message.headers.count("Bcc"), 0u);
    EXPECT_EQ(message.headers.at("Content-Transfer-Encoding"), "7bit");
    EXPECT_EQ(message.body, "Line one\r\nLine two\r\n");
}

TEST_F(MailService, OutboxFilesAreWholeAndNeverReplaced) {
    for (int i = 0; i < 3; ++i) {
        kclMail mail("DANA", "Message " + std::to_string(i), "Body " + std::to_string(i), 0);
        ASSERT_EQ(mail.mapiStatus(), SUCCESS_SUCCESS);
    }
    std::vector<fs::path> files = OutboxFiles();
    ASSERT_EQ(files.size(), 3u) << "three messages in one second: three files";
    std::set<std::string> bodies;
    for (const fs::path& file : files) {
        EXPECT_EQ(file.extension(), ".eml") << "no temporary file left: " << file;
        bodies.insert(Parse(ReadFile(file)).body);
    }
    EXPECT_EQ(bodies, (std::set<std::string>{"Body 0\r\n", "Body 1\r\n", "Body 2\r\n"}));

    // An outbox that cannot be a folder: the send fails and says so in the log.
    fs::remove_all(company.Path("outbox"));
    std::ofstream(company.Path("outbox")) << "in the way";
    kclMail blocked("DANA", "Blocked", "Body", 0);
    EXPECT_EQ(blocked.mapiStatus(), MAPI_E_FAILURE);
    EXPECT_NE(ReadFile(kwCompany::LogFile()).find("Mail not sent"), std::string::npos);
}

TEST_F(MailService, UnresolvedRecipientsAnswerWithoutDialog) {
    {
        kclMail mail("Nobody Here", "Subject", "Body", 0);
        EXPECT_EQ(mail.mapiStatus(), MAPI_E_UNKNOWN_RECIPIENT);
    }
    {
        kclMail mail;
        mail.addRecipient(MAPI_TO, "DANA");
        mail.addRecipient(MAPI_TO, "not an address@");
        EXPECT_EQ(mail.send(0), MAPI_E_UNKNOWN_RECIPIENT) << "one bad recipient stops the mail";
    }
    {
        kclMail mail;
        mail.setSubject("No one");
        EXPECT_EQ(mail.send(0), MAPI_E_INVALID_RECIPS) << "a mail without recipients";
    }
    {
        kclMail mail;
        mail.addRecipient(0, "DANA");
        EXPECT_EQ(mail.send(0), MAPI_E_BAD_RECIPTYPE) << "the originator is no recipient";
    }
    // Two operators of one name with different addresses.
    nlohmann::json operators;
    std::ifstream(company.Path("operators.json")) >> operators;
    operators["operators"].push_back({{"id", "DANA2"},
                                      {"name", "Dana Whitfield"},
                                      {"privilege", 0},
                                      {"email", "dana.w@example.net"}});
    std::ofstream(company.Path("operators.json")) << operators.dump(2);
    {
        kclMail mail("Dana Whitfield", "Subject", "Body", 0);
        EXPECT_EQ(mail.mapiStatus(), MAPI_E_AMBIGUOUS_RECIPIENT);
        kclMail byId("DANA2", "Subject", "Body", 0);
        EXPECT_EQ(byId.mapiStatus(), SUCCESS_SUCCESS) << "the id still names one operator";
    }
    EXPECT_EQ(OutboxFiles().size(), 1u) << "only the mail that resolved was stored";
}

TEST_F(MailService, ComposeWindowCancelAnswersUserAbort) {
    EnsureApplication();
    std::string shownTo, shownNotice, shownSubject, shownText;
    bool noticeVisible = false;
    WhenDialogShows(kCancelId, [&](QDialog* dialog) {
        shownTo = FindById<QLineEdit>(dialog, kToId)->text().toStdString();
        shownSubject = FindById<QLineEdit>(dialog, kSubjectId)->text().toStdString();
        shownText = FindById<QPlainTextEdit>(dialog, kTextId)->toPlainText().toStdString();
        QLabel* notice = FindById<QLabel>(dialog, kNoticeId);
        shownNotice = notice->text().toStdString();
        noticeVisible = notice->isVisible();
        FindById<QPushButton>(dialog, kCancelId)->click();
    });
    kclMail mail;
    mail.addRecipient(MAPI_TO, "Dana Whitfield");
    mail.addRecipient(MAPI_TO, "Nobody Here");
    mail.setSubject("Compose me");
    mail.setNoteText("Some text");
    EXPECT_EQ(mail.send(MAPI_DIALOG), MAPI_USER_ABORT);
    EXPECT_EQ(shownTo, "Dana Whitfield <dana.whitfield@example.com>; Nobody Here");
    EXPECT_EQ(shownSubject, "Compose me");
    EXPECT_EQ(shownText, "Some text");
    EXPECT_TRUE(noticeVisible);
    EXPECT_NE(shownNotice.find("Unknown recipient: Nobody Here"), std::string::npos) << shownNotice;
    EXPECT_TRUE(OutboxFiles().empty());
}

TEST_F(MailService, ComposeWindowSendsWhatTheUserCorrected) {
    EnsureApplication();
    bool stayedOpen = false;
    std::string notice;
    WhenDialogShows(kSendId, [&](QDialog* dialog) {
        QPushButton* send = FindById<QPushButton>(dialog, kSendId);
        send->click();
        stayedOpen = dialog->isVisible();
        notice = FindById<QLabel>(dialog, kNoticeId)->text().toStdString();
        FindById<QLineEdit>(dialog, kToId)->setText("LEE; Nobody");
        send->click();
        FindById<QLineEdit>(dialog, kToId)->setText("LEE");
        FindById<QLineEdit>(dialog, kSubjectId)->setText("Edited subject");
        send->click();
    });
    kclMail mail("Nobody Here", "Subject", "Body", MAPI_DIALOG);
    EXPECT_EQ(mail.mapiStatus(), SUCCESS_SUCCESS);
    EXPECT_TRUE(stayedOpen) << "Send with an unknown name keeps the window open";
    EXPECT_NE(notice.find("Nobody Here"), std::string::npos) << notice;
    const std::vector<fs::path> files = OutboxFiles();
    ASSERT_EQ(files.size(), 1u);
    const ParsedMessage message = Parse(ReadFile(files[0]));
    EXPECT_EQ(message.headers.at("To"), "Lee Okafor <lee.okafor@example.com>");
    EXPECT_EQ(message.headers.at("Subject"), "Edited subject");
}

TEST_F(MailService, SmtpDeliversToTheServer) {
    SmtpResponder server;
    SetMail({{"host", "127.0.0.1"},
             {"port", server.Port()},
             {"security", "none"},
             {"user", "quorvel"},
             {"password", "secret"}});
    kclMail mail;
    mail.addRecipient(MAPI_TO, "DANA");
    mail.addRecipient(MAPI_BCC, "LEE");
    mail.setSubject("Pump failure");
    mail.setNoteText("Line one\r\n.hidden dot line\r\n.\r\nend");
    ASSERT_EQ(mail.send(0), SUCCESS_SUCCESS);

    EXPECT_EQ(server.AuthAttempts(), std::vector<std::string>{"quorvel:secret"});
    const std::vector<SmtpResponder::Delivery> deliveries = server.Deliveries();
    ASSERT_EQ(deliveries.size(), 1u);
    EXPECT_EQ(deliveries[0].from, "<quorvel@demo.example>");
    EXPECT_EQ(deliveries[0].recipients, (std::vector<std::string>{"<dana.whitfield@example.com>",
                                                                  "<lee.okafor@example.com>"}))
        << "blind copies are in the envelope";
    const ParsedMessage message = Parse(deliveries[0].data);
    EXPECT_EQ(message.headers.at("Subject"), "Pump failure");
    EXPECT_EQ(message.headers.count("Bcc"), 0u);
    EXPECT_EQ(message.body, "Line one\r\n.hidden dot line\r\n.\r\nend\r\n")
        << "lines starting with a dot survive the transfer";
    EXPECT_TRUE(OutboxFiles().empty()) << "with a server nothing goes to the outbox";
}

TEST_F(MailService, SmtpFailuresAnswerLogonFailureOrGeneralFailure) {
    {
        SmtpResponder server(true);
        SetMail({{"host", "127.0.0.1"},
                 {"port", server.Port()},
                 {"security", "none"},
                 {"user", "quorvel"},
                 {"password", "wrong"}});
        kclMail refused("DANA", "Subject", "Body", 0);
        EXPECT_EQ(refused.mapiStatus(), MAPI_E_LOGIN_FAILURE) << "authentication refused";
        EXPECT_TRUE(server.Deliveries().empty());

        ScriptAnswers({MAPI_ANSWER_OK, MAPI_ANSWER_OK});
        kclMail retried("DANA", "Subject", "Body", MAPI_LOGON_UI);
        EXPECT_EQ(retried.mapiStatus(), MAPI_E_LOGIN_FAILURE);
        EXPECT_EQ(server.AuthAttempts().size(), 4u)
            << "one refusal, then three tries, the last two after the logon window";

        ScriptAnswers({MAPI_ANSWER_CANCEL});
        kclMail cancelled("DANA", "Subject", "Body", MAPI_LOGON_UI);
        EXPECT_EQ(cancelled.mapiStatus(), MAPI_USER_ABORT) << "the logon window cancelled";
    }
    SetMail({{"host", "127.0.0.1"}, {"port", SmtpResponder::ClosedPort()}, {"security", "none"}});
    kclMail unreachable("DANA", "Subject", "Body", 0);
    EXPECT_EQ(unreachable.mapiStatus(), MAPI_E_FAILURE) << "connection refused";
    EXPECT_TRUE(OutboxFiles().empty());
}

TEST_F(MailService, LogonWindowAsksForAMissingPasswordOncePerSession) {
    EnsureApplication();
    SmtpResponder server;
    // A user of its own: typed passwords live as long as the process.
    static int run = 0;
    const std::string user = "typist" + std::to_string(++run);
    SetMail({{"host", "127.0.0.1"},
             {"port", server.Port()},
             {"security", "none"},
             {"user", user},
             {"password", ""}});
    kclMail withoutUi("DANA", "Subject", "Body", 0);
    EXPECT_EQ(withoutUi.mapiStatus(), MAPI_E_LOGIN_FAILURE)
        << "no password and no logon window allowed";
    EXPECT_TRUE(server.AuthAttempts().empty()) << "the server was not bothered";

    WhenDialogShows(kPasswordId, [](QDialog* dialog) {
        FindById<QLineEdit>(dialog, kPasswordId)->setText("typed");
        FindById<QPushButton>(dialog, kSendId)->click();
    });
    kclMail first("DANA", "Subject", "Body", MAPI_LOGON_UI);
    EXPECT_EQ(first.mapiStatus(), SUCCESS_SUCCESS);
    EXPECT_EQ(server.AuthAttempts(), std::vector<std::string>{user + ":typed"});

    ScriptAnswers({MAPI_ANSWER_CANCEL}); // would answer a second logon window
    kclMail second("DANA", "Subject", "Body", MAPI_LOGON_UI);
    EXPECT_EQ(second.mapiStatus(), SUCCESS_SUCCESS);
    EXPECT_EQ(ScriptedAnswersLeft(), 1) << "the typed password was kept for the session";
    EXPECT_EQ(server.Deliveries().size(), 2u);
}

TEST_F(MailService, MailSettingsOfTheWrongTypeSendNothingAndNameTheKey) {
    const nlohmann::json original = nlohmann::json::parse(ReadFile(company.Path("company.json")))["mail"];
    // (key, bad value, what the log says); the installed flag stays true throughout.
    const std::tuple<const char*, nlohmann::json, const char*> cases[] = {
        {"host", 25, "company.json: mail.host must be a text, not 25"},
        {"port", "587", "company.json: mail.port must be a whole number from 0 to 65535, not \"587\""},
        {"port", 70000, "company.json: mail.port must be a whole number"},
        {"security", true, "company.json: mail.security must be a text"},
        {"security", "starttsl", "company.json: mail.security must be \"none\", \"starttls\" or \"tls\""},
        {"user", nullptr, "company.json: mail.user must be a text, not null"},
        {"password", 1234, "company.json: mail.password must be a text"},
        {"sender", nlohmann::json::array(), "company.json: mail.sender must be a text"},
    };
    for (const auto& [key, bad, logged] : cases) {
        SetMail({{key, bad}});
        kclMail mail("DANA", "Subject", "Body", 0);
        EXPECT_EQ(mail.mapiStatus(), MAPI_E_FAILURE) << key << " = " << bad.dump();
        EXPECT_TRUE(OutboxFiles().empty()) << "nothing goes out on settings that cannot be read";
        const std::string log = ReadFile(kwCompany::LogFile());
        EXPECT_NE(log.find(logged), std::string::npos) << key << ": " << log;
        SetMail({{key, original.at(key)}});
    }
    nlohmann::json settings = nlohmann::json::parse(ReadFile(company.Path("company.json")));
    settings["mail"] = "smtp.example.com";
    std::ofstream(company.Path("company.json")) << settings.dump(2);
    std::string error;
    ASSERT_TRUE(kwCompany::Open(company.Folder(), &error)) << "the company still opens: " << error;
    kclMail mail("DANA", "Subject", "Body", 0);
    EXPECT_EQ(mail.mapiStatus(), MAPI_E_FAILURE);
    EXPECT_NE(ReadFile(kwCompany::LogFile()).find("company.json: mail must be a JSON object"), std::string::npos);
}
