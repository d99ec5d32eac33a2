#include "TSmtpTransfer.h"

#include <curl/curl.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace {

struct TReader {
    const std::string* data;
    size_t pos = 0;
};

size_t ReadContent(char* buffer, size_t size, size_t count, void* user) {
    auto* r = static_cast<TReader*>(user);
    const size_t n = std::min(size * count, r->data->size() - r->pos);
    std::memcpy(buffer, r->data->data() + r->pos, n);
    r->pos += n;
    return n;
}

// What the server said, seen through libcurl's protocol trace. libcurl sends QUIT while it
// closes the connection and ignores the outcome, so the trace is the only way to learn whether
// the server answered it.
struct TTrace {
    bool greeted = false;  // the server sent at least one reply line
    bool quitSent = false;
    bool quitAnswered = false;
};

int Trace(CURL*, curl_infotype type, char* data, size_t size, void* user) {
    auto* t = static_cast<TTrace*>(user);
    if (type == CURLINFO_HEADER_IN) {
        t->greeted = true;
        if (t->quitSent && size > 0 && data[0] == '2') t->quitAnswered = true;
    } else if (type == CURLINFO_HEADER_OUT && size >= 4 && strncasecmp(data, "QUIT", 4) == 0) {
        t->quitSent = true;
    }
    return 0;
}

int CheckStop(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    return static_cast<const std::atomic<bool>*>(user)->load() ? 1 : 0;
}

struct TCurlFree {
    void operator()(CURL* c) const { curl_easy_cleanup(c); }
    void operator()(CURLU* u) const { curl_url_cleanup(u); }
    void operator()(curl_slist* l) const { curl_slist_free_all(l); }
};

}  // namespace

TSmtpTransfer::TOutcome TSmtpTransfer::Run(const std::atomic<bool>& stop) const {
    TOutcome outcome;
    if (stop) {
        outcome.Result = TResult::Aborted;
        return outcome;
    }
    // The URL is put together part by part, so that a server name holding "@", "/" or ":"
    // cannot turn into a user name, a path or another port.
    std::unique_ptr<CURLU, TCurlFree> url(curl_url());
    std::unique_ptr<CURL, TCurlFree> curl(curl_easy_init());
    if (!url || !curl) {
        outcome.Error = "out of memory";
        return outcome;
    }
    std::string host = Host;
    if (std::count(host.begin(), host.end(), ':') >= 2 && host.front() != '[')
        host = "[" + host + "]";
    const std::string port = std::to_string(Port);
    const std::string path = "/" + HeloName;
    if (curl_url_set(url.get(), CURLUPART_SCHEME, "smtp", 0) != CURLUE_OK ||
        curl_url_set(url.get(), CURLUPART_HOST, host.c_str(), 0) != CURLUE_OK ||
        curl_url_set(url.get(), CURLUPART_PORT, port.c_str(), 0) != CURLUE_OK ||
        curl_url_set(url.get(), CURLUPART_PATH, path.c_str(), CURLU_URLENCODE) != CURLUE_OK) {
        outcome.Error = "bad server name \"" + Host + "\"";
        return outcome;
    }
    std::unique_ptr<curl_slist, TCurlFree> recipients;
    for (const std::string& r : Recipients) {
        // Appending returns the same list head, or null (and leaves the list) when it fails.
        curl_slist* head = curl_slist_append(recipients.get(), r.c_str());
        if (!head) {
            outcome.Error = "out of memory";
            return outcome;
        }
        if (head != recipients.get()) recipients.reset(head);
    }

    TReader reader{&Content};
    TTrace trace;
    char error[CURL_ERROR_SIZE] = {};
    CURL* c = curl.get();
    curl_easy_setopt(c, CURLOPT_CURLU, url.get());
    curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "smtp");
    curl_easy_setopt(c, CURLOPT_PROXY, "");  // straight to the server, whatever the environment
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    // Close the connection (and so send QUIT) inside curl_easy_perform, where the trace sees it.
    curl_easy_setopt(c, CURLOPT_FORBID_REUSE, 1L);
    curl_easy_setopt(c, CURLOPT_MAIL_FROM, From.c_str());
    curl_easy_setopt(c, CURLOPT_MAIL_RCPT, recipients.get());
    curl_easy_setopt(c, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(c, CURLOPT_READFUNCTION, &ReadContent);
    curl_easy_setopt(c, CURLOPT_READDATA, &reader);
    curl_easy_setopt(c, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(Content.size()));
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(ConnectTimeoutMs));
    curl_easy_setopt(c, CURLOPT_TIMEOUT_MS, static_cast<long>(TransferTimeoutMs));
    // The wait for each reply, in whole seconds; it alone bounds the wait for QUIT's answer,
    // which comes after the transfer proper.
    curl_easy_setopt(c, CURLOPT_SERVER_RESPONSE_TIMEOUT,
                     static_cast<long>(std::max(1, (TransferTimeoutMs + 999) / 1000)));
    curl_easy_setopt(c, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(c, CURLOPT_XFERINFOFUNCTION, &CheckStop);
    curl_easy_setopt(c, CURLOPT_XFERINFODATA, const_cast<std::atomic<bool>*>(&stop));
    curl_easy_setopt(c, CURLOPT_VERBOSE, 1L);  // the trace goes to Trace, not to stderr
    curl_easy_setopt(c, CURLOPT_DEBUGFUNCTION, &Trace);
    curl_easy_setopt(c, CURLOPT_DEBUGDATA, &trace);
    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, error);

    const CURLcode rc = curl_easy_perform(c);
    if (rc == CURLE_OK) {
        outcome.Result = TResult::Sent;
        outcome.DisconnectFailed = !trace.quitAnswered;
        return outcome;
    }
    outcome.Error = error[0] ? error : curl_easy_strerror(rc);
    if (rc == CURLE_ABORTED_BY_CALLBACK && stop)
        outcome.Result = TResult::Aborted;
    else
        outcome.Result = trace.greeted ? TResult::SendFailed : TResult::ConnectFailed;
    return outcome;
}
