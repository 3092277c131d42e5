#pragma once

#include <QHash>
#include <QPair>
#include <QString>
#include <memory>
#include <optional>

class DownloadManager;
class OutOfSight;
class Prompter;
class QLockFile;
class QWebEngineProfile;
struct Timings;

// The one engine profile that all browser windows share. Cookies, site storage and
// the HTTP cache last on disk, unless another copy of Orvane holds them: then this
// copy runs off the record rather than have two engines write one store.
class WebEngineProfile
{
public:
    // dataDir keeps cookies and site storage, cacheDir the HTTP cache.
    WebEngineProfile(const QString &dataDir, const QString &cacheDir, Prompter *prompter,
                     const Timings &timings);
    // Every page on the profile must be gone by now. Running downloads are
    // cancelled and their partial files removed.
    ~WebEngineProfile();

    QWebEngineProfile *profile() const { return m_profile; }
    bool isLasting() const { return m_lasting; }
    // What a window's status bar says when a page has loaded.
    QString doneText() const;
    // Where the user chose files last in this run (uploads, pages saved, PDFs).
    QString &lastFolder() { return m_lastFolder; }
    DownloadManager *downloads() const { return m_downloads.get(); }
    const Timings &timings() const { return m_timings; }
    OutOfSight *outOfSight() const { return m_outOfSight.get(); }

    // A site's answer about a feature (the engine's number for it), kept for the run
    // and shared by every window; none when it was never asked.
    std::optional<bool> permission(const QString &site, int feature) const;
    void setPermission(const QString &site, int feature, bool granted);

private:
    std::unique_ptr<QLockFile> m_lock;
    QWebEngineProfile *m_profile = nullptr;
    std::unique_ptr<DownloadManager> m_downloads;
    std::unique_ptr<OutOfSight> m_outOfSight;
    const Timings &m_timings;
    QHash<QPair<QString, int>, bool> m_permissions;
    bool m_lasting = false;
    QString m_note; // why not, when not lasting
    QString m_lastFolder;
};
