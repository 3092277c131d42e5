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

namespace PageDownload {
constexpr int MaxBytes = 100000;
extern const char AgentText[];

// True for the schemes we fetch: http, https and ftp, written out in the address.
bool IsFetchable(const QString &address);

// Fetches the address directly (no proxy, no cache). Blocks the calling thread; safe
// to run on any thread.
DownloadResult Fetch(const QString &address, const DownloadOptions &options);

// Runs Fetch on a worker thread while this (user-interface) thread keeps painting and
// running timers, but takes no user input until the transfer is over.
DownloadResult FetchWhilePainting(const QString &address, const DownloadOptions &options);
} // namespace PageDownload
