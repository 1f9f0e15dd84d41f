// SMTP through libcurl: plain, STARTTLS (required, never silently dropped) or TLS from the
// first byte, with the server's certificate checked.
#include "SmtpTransport.h"

#include <curl/curl.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <mutex>

namespace {
struct CurlEasyDeleter {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
struct CurlListDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using CurlEasy = std::unique_ptr<CURL, CurlEasyDeleter>;
using CurlList = std::unique_ptr<curl_slist, CurlListDeleter>;

void InitialiseCurlOnce() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct Upload {
    const std::string* data;
    size_t sent = 0;
};

size_t ReadMessage(char* buffer, size_t size, size_t count, void* user) {
    auto* upload = static_cast<Upload*>(user);
    const size_t room = size * count;
    const size_t left = upload->data->size() - upload->sent;
    const size_t n = std::min(room, left);
    std::memcpy(buffer, upload->data->data() + upload->sent, n);
    upload->sent += n;
    return n;
}
} // namespace

SmtpTransport::Result SmtpTransport::Send(const std::string& sender,
                                          const std::vector<std::string>& recipients,
                                          const std::string& message, std::string* error) const {
    InitialiseCurlOnce();
    CurlEasy curl(curl_easy_init());
    if (!curl) {
        if (error) *error = "the mail transport could not start";
        return Result::Failed;
    }
    const bool tls = _settings.security == MailSettings::Security::Tls;
    // A literal IPv6 address needs brackets in the URL.
    const std::string host =
        _settings.host.find(':') != std::string::npos && _settings.host.front() != '['
            ? "[" + _settings.host + "]"
            : _settings.host;
    const std::string url = std::string(tls ? "smtps://" : "smtp://") + host + ":" +
                            std::to_string(_settings.EffectivePort());

    CurlList recipientList;
    for (const std::string& recipient : recipients) {
        curl_slist* grown = curl_slist_append(recipientList.get(), ("<" + recipient + ">").c_str());
        if (!grown) {
            if (error) *error = "out of memory";
            return Result::Failed;
        }
        recipientList.release();
        recipientList.reset(grown);
    }
    const std::string from = "<" + sender + ">";
    Upload upload{&message};
    char reason[CURL_ERROR_SIZE] = {0};

    CURL* handle = curl.get();
    curl_easy_setopt(handle, CURLOPT_URL, url.c_str());
    curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(handle, CURLOPT_ERRORBUFFER, reason);
    curl_easy_setopt(handle, CURLOPT_MAIL_FROM, from.c_str());
    curl_easy_setopt(handle, CURLOPT_MAIL_RCPT, recipientList.get());
    curl_easy_setopt(handle, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(handle, CURLOPT_READFUNCTION, ReadMessage);
    curl_easy_setopt(handle, CURLOPT_READDATA, &upload);
    curl_easy_setopt(handle, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(message.size()));
    curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT, 20L);
    curl_easy_setopt(handle, CURLOPT_TIMEOUT, 120L);
    if (_settings.security == MailSettings::Security::StartTls) {
        curl_easy_setopt(handle, CURLOPT_USE_SSL, static_cast<long>(CURLUSESSL_ALL));
    }
    if (!_settings.user.empty()) {
        curl_easy_setopt(handle, CURLOPT_USERNAME, _settings.user.c_str());
        curl_easy_setopt(handle, CURLOPT_PASSWORD, _settings.password.c_str());
    }

    const CURLcode code = curl_easy_perform(handle);
    if (code == CURLE_OK) return Result::Sent;
    if (error) *error = reason[0] ? reason : curl_easy_strerror(code);
    return code == CURLE_LOGIN_DENIED ? Result::AuthenticationFailed : Result::Failed;
}
