// The test SMTP server: one connection at a time, a line protocol with a short read timeout
// so a confused client can never hang a test.
#include "SmtpResponder.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>

namespace {

// Reads one CRLF-ended line (without the CRLF); false on close or after 5 s of silence.
bool ReadLine(int fd, std::string& pending, std::string* line) {
    while (true) {
        const size_t end = pending.find("\r\n");
        if (end != std::string::npos) {
            *line = pending.substr(0, end);
            pending.erase(0, end + 2);
            return true;
        }
        pollfd waiting{fd, POLLIN, 0};
        if (poll(&waiting, 1, 5000) <= 0) return false;
        char buffer[4096];
        const ssize_t n = recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0) return false;
        pending.append(buffer, static_cast<size_t>(n));
    }
}

void Reply(int fd, const std::string& text) {
    const std::string line = text + "\r\n";
    if (send(fd, line.data(), line.size(), MSG_NOSIGNAL) < 0) return;
}

std::string Upper(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return text;
}

// "\0user\0password" -> "user:password"
std::string PlainCredentials(const std::string& decoded) {
    const size_t first = decoded.find('\0');
    const size_t second = first == std::string::npos ? first : decoded.find('\0', first + 1);
    if (second == std::string::npos) return decoded;
    return decoded.substr(first + 1, second - first - 1) + ":" + decoded.substr(second + 1);
}
} // namespace

SmtpResponder::SmtpResponder(bool refuseAuth) : _refuseAuth(refuseAuth) {
    _listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    bind(_listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
    listen(_listener, 4);
    socklen_t length = sizeof address;
    getsockname(_listener, reinterpret_cast<sockaddr*>(&address), &length);
    _port = ntohs(address.sin_port);
    _thread = std::thread([this] { Serve(); });
}

SmtpResponder::~SmtpResponder() {
    _stop = true;
    _thread.join();
    close(_listener);
}

int SmtpResponder::ClosedPort() {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    close(fd);
    return ntohs(address.sin_port);
}

std::vector<SmtpResponder::Delivery> SmtpResponder::Deliveries() const {
    std::lock_guard<std::mutex> lock(_mutex);
    return _deliveries;
}

std::vector<std::string> SmtpResponder::AuthAttempts() const {
    std::lock_guard<std::mutex> lock(_mutex);
    return _authAttempts;
}

void SmtpResponder::Serve() {
    while (!_stop) {
        pollfd waiting{_listener, POLLIN, 0};
        if (poll(&waiting, 1, 50) <= 0) continue;
        const int client = accept4(_listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0) continue;
        Converse(client);
        close(client);
    }
}

void SmtpResponder::Converse(int client) {
    std::string pending, line;
    Delivery delivery;
    Reply(client, "220 localhost ESMTP test responder");
    while (ReadLine(client, pending, &line)) {
        const std::string command = Upper(line.substr(0, line.find(' ')));
        if (command == "EHLO") {
            Reply(client, "250-localhost");
            Reply(client, "250-AUTH PLAIN");
            Reply(client, "250 8BITMIME");
        } else if (command == "HELO") {
            Reply(client, "250 localhost");
        } else if (command == "AUTH") {
            const std::string rest = line.size() > 5 ? line.substr(5) : "";
            const std::string mechanism = Upper(rest.substr(0, rest.find(' ')));
            std::string credentials;
            if (mechanism == "PLAIN") {
                std::string response =
                    rest.find(' ') != std::string::npos ? rest.substr(rest.find(' ') + 1) : "";
                if (response.empty()) {
                    Reply(client, "334 ");
                    if (!ReadLine(client, pending, &response)) return;
                }
                credentials = PlainCredentials(SmtpResponder::DecodeBase64(response));
            } else {
                Reply(client, "504 5.5.4 Unrecognized authentication type");
                continue;
            }
            {
                std::lock_guard<std::mutex> lock(_mutex);
                _authAttempts.push_back(credentials);
            }
            Reply(client, _refuseAuth ? "535 5.7.8 Authentication credentials invalid"
                                      : "235 2.7.0 Authentication successful");
        } else if (command == "MAIL") {
            delivery = Delivery{};
            delivery.from = line.substr(line.find(':') + 1);
            Reply(client, "250 2.1.0 OK");
        } else if (command == "RCPT") {
            delivery.recipients.push_back(line.substr(line.find(':') + 1));
            Reply(client, "250 2.1.5 OK");
        } else if (command == "DATA") {
            Reply(client, "354 End data with <CR><LF>.<CR><LF>");
            std::string data;
            while (true) {
                if (!ReadLine(client, pending, &line)) return;
                if (line == ".") break;
                if (!line.empty() && line[0] == '.') line.erase(0, 1);
                data += line + "\r\n";
            }
            delivery.data = data;
            {
                std::lock_guard<std::mutex> lock(_mutex);
                _deliveries.push_back(delivery);
            }
            Reply(client, "250 2.0.0 Queued");
        } else if (command == "QUIT") {
            Reply(client, "221 2.0.0 Bye");
            return;
        } else if (command == "RSET" || command == "NOOP") {
            Reply(client, "250 OK");
        } else {
            Reply(client, "502 5.5.2 Command not recognized");
        }
    }
}

std::string SmtpResponder::DecodeBase64(const std::string& text) {
    static const std::string alphabet =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    unsigned buffer = 0;
    int bits = 0;
    for (char c : text) {
        const size_t value = alphabet.find(c);
        if (value == std::string::npos) continue;
        buffer = (buffer << 6) | static_cast<unsigned>(value);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out += static_cast<char>((buffer >> bits) & 0xFF);
        }
    }
    return out;
}
