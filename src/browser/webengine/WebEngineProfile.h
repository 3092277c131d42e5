#pragma once

#include <QString>
#include <memory>

class DownloadManager;
class Prompter;
class QLockFile;
class QWebEngineProfile;

// The one engine profile that all browser windows share. Cookies, site storage and
// the HTTP cache last on disk, unless another copy of Orvane holds them: then this
// copy runs off the record rather than have two engines write one store.
class WebEngineProfile
{
public:
    // dataDir keeps cookies and site storage, cacheDir the HTTP cache.
    WebEngineProfile(const QString &dataDir, const QString &cacheDir, Prompter *prompter);
    // Every page on the profile must be gone by now. Running downloads are
    // cancelled and their partial files removed.
    ~WebEngineProfile();

    QWebEngineProfile *profile() const { return m_profile; }
    bool isLasting() const { return m_lasting; }
    // What a window's status bar says when a page has loaded.
    QString doneText() const;
    DownloadManager *downloads() const { return m_downloads.get(); }

private:
    std::unique_ptr<QLockFile> m_lock;
    QWebEngineProfile *m_profile = nullptr;
    std::unique_ptr<DownloadManager> m_downloads;
    bool m_lasting = false;
    QString m_note; // why not, when not lasting
};
