#include "dialogs/download/CurlFetch.h"

#include <curl/curl.h>
#include <mutex>

namespace {

void initCurlOnce()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct Sink
{
    QByteArray *body;
    bool full = false;
};

size_t collect(char *data, size_t size, size_t count, void *user)
{
    auto *sink = static_cast<Sink *>(user);
    const size_t bytes = size * count;
    const qsizetype room = PageDownload::MaxBytes - sink->body->size();
    const qsizetype take = qMin<qsizetype>(room, qsizetype(bytes));
    sink->body->append(data, take);
    if (sink->body->size() >= PageDownload::MaxBytes) {
        // Anything short of the full count ends the transfer: the rest is not wanted.
        sink->full = true;
        return 0;
    }
    return bytes;
}

// Frees the handle and the header list on every path.
struct Easy
{
    CURL *curl = curl_easy_init();
    curl_slist *headers = nullptr;
    ~Easy()
    {
        if (curl)
            curl_easy_cleanup(curl);
        curl_slist_free_all(headers);
    }
};

} // namespace

DownloadResult CurlFetch(const QString &address, const DownloadOptions &options)
{
    DownloadResult result;
    if (!PageDownload::IsFetchable(address)) {
        result.error = QStringLiteral("Unsupported address");
        return result;
    }
    initCurlOnce();
    Easy easy;
    if (!easy.curl) {
        result.error = QStringLiteral("No download handle");
        return result;
    }
    CURL *c = easy.curl;
    const QByteArray url = address.toLocal8Bit();
    Sink sink{ &result.body };
    easy.headers = curl_slist_append(easy.headers, "Cache-Control: no-cache");
    easy.headers = curl_slist_append(easy.headers, "Pragma: no-cache");

    curl_easy_setopt(c, CURLOPT_URL, url.constData());
#if LIBCURL_VERSION_NUM >= 0x075500
    curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http,https,ftp");
    curl_easy_setopt(c, CURLOPT_REDIR_PROTOCOLS_STR, "http,https,ftp");
#else
    curl_easy_setopt(c, CURLOPT_PROTOCOLS, long(CURLPROTO_HTTP | CURLPROTO_HTTPS | CURLPROTO_FTP));
    curl_easy_setopt(c, CURLOPT_REDIR_PROTOCOLS,
                     long(CURLPROTO_HTTP | CURLPROTO_HTTPS | CURLPROTO_FTP));
#endif
    // A direct connection whatever the environment's proxy variables say.
    curl_easy_setopt(c, CURLOPT_PROXY, "");
    curl_easy_setopt(c, CURLOPT_NOPROXY, "*");
    curl_easy_setopt(c, CURLOPT_USERAGENT, PageDownload::AgentText);
    curl_easy_setopt(c, CURLOPT_HTTPHEADER, easy.headers);
    curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(c, CURLOPT_MAXREDIRS, 10L);
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS, long(options.connectTimeoutMs));
    curl_easy_setopt(c, CURLOPT_LOW_SPEED_LIMIT, options.lowSpeedBytes);
    curl_easy_setopt(c, CURLOPT_LOW_SPEED_TIME,
                     long(qMax(1, (options.stallTimeoutMs + 999) / 1000)));
    curl_easy_setopt(c, CURLOPT_TIMEOUT_MS, long(options.totalTimeoutMs));
    // Signals cannot be used for time-outs off the main thread.
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, collect);
    curl_easy_setopt(c, CURLOPT_WRITEDATA, &sink);

    const CURLcode code = curl_easy_perform(c);
    if (code == CURLE_OK || (code == CURLE_WRITE_ERROR && sink.full)) {
        result.ok = true;
    } else {
        // A cut-off body is not the page: nothing is shown as if it were.
        result.body.clear();
        result.error = QString::fromLocal8Bit(curl_easy_strerror(code));
    }
    return result;
}

extern "C" Q_DECL_EXPORT PageFetch orvane_download_fetch()
{
    return &CurlFetch;
}
