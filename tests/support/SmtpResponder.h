// A small SMTP server on a loopback port for tests: it accepts EHLO, AUTH PLAIN,
// MAIL, RCPT, DATA and QUIT, records what it was given, and refuses AUTH when told to.
#pragma once

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class SmtpResponder {
public:
    struct Delivery {
        std::string from;                    // MAIL FROM argument, "<...>"
        std::vector<std::string> recipients; // RCPT TO arguments
        std::string data;                    // the message, dot-stuffing undone, CRLF kept
    };

    // Starts listening on 127.0.0.1 at a free port; refuseAuth makes every AUTH fail.
    explicit SmtpResponder(bool refuseAuth = false);
    ~SmtpResponder();
    SmtpResponder(const SmtpResponder&) = delete;
    SmtpResponder& operator=(const SmtpResponder&) = delete;

    int Port() const { return _port; }
    std::vector<Delivery> Deliveries() const;
    // Decoded credentials of each AUTH attempt, as "user:password".
    std::vector<std::string> AuthAttempts() const;

    // A loopback port on which nobody listens.
    static int ClosedPort();
    // Base64 text decoded (characters outside the alphabet are skipped).
    static std::string DecodeBase64(const std::string& text);

private:
    void Serve();
    void Converse(int client);

    bool _refuseAuth;
    int _listener = -1;
    int _port = 0;
    std::atomic<bool> _stop{false};
    mutable std::mutex _mutex;
    std::vector<Delivery> _deliveries;
    std::vector<std::string> _authAttempts;
    std::thread _thread;
};
