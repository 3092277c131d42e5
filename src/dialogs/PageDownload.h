#pragma once

#include <QByteArray>
#include <QString>

// Bounds of one page-source download. A stalled or unreachable server must never
// hold the program for long; tests shorten these.
struct DownloadOptions
{
    int connectTimeoutMs = 20000;
    // The transfer is given up when fewer than lowSpeedBytes per second arrive for
    // this long.
    int stallTimeoutMs = 30000;
    long lowSpeedBytes = 1;
    // A trickling server could otherwise keep the limit above satisfied for hours.
    int totalTimeoutMs = 120000;
};

struct DownloadResult
{
    bool ok = false;
    QByteArray body; // the first bytes of the body, at most PageDownload::MaxBytes
    QString error;
};

// Fetches an address directly (no proxy, no cache), blocking the calling thread;
// safe to run on any thread.
using PageFetch = DownloadResult (*)(const QString &address, const DownloadOptions &options);

namespace PageDownload {
constexpr int MaxBytes = 100000;
inline constexpr char AgentText[] = "VOV-Edova test program";

// True for the schemes we fetch: http, https and ftp, written out in the address.
// Inline: the download module checks it too and links nothing of the program's.
inline bool IsFetchable(const QString &address)
{
    const int colon = int(address.indexOf(QLatin1String("://")));
    if (colon <= 0 || address.size() <= colon + 3)
        return false;
    const QString scheme = address.left(colon).toLower();
    return scheme == QLatin1String("http") || scheme == QLatin1String("https")
            || scheme == QLatin1String("ftp");
}

// Runs fetch on a worker thread while this (user-interface) thread keeps painting and
// running timers, but takes no user input until the transfer is over. Without a
// fetch (the module could not be loaded) the result is a failure.
DownloadResult FetchWhilePainting(PageFetch fetch, const QString &address,
                                  const DownloadOptions &options);
} // namespace PageDownload
