#include "browser/webengine/WebEngineProfile.h"

#include "browser/webengine/DownloadManager.h"
#include "browser/webengine/OutOfSight.h"

#include <QDir>
#include <QLockFile>
#include <QWebEngineProfile>

WebEngineProfile::WebEngineProfile(const QString &dataDir, const QString &cacheDir,
                                   Prompter *prompter, const Timings &timings)
    : m_timings(timings)
{
    // The lock lasts as long as this copy runs; one left by a copy that was killed
    // is recognised by its dead process and taken over.
    m_lock = std::make_unique<QLockFile>(QDir(dataDir).filePath(QStringLiteral("Orvane.lock")));
    m_lock->setStaleLockTime(0);
    m_lasting = QDir().mkpath(dataDir) && m_lock->tryLock(0);
    if (m_lasting) {
        m_profile = new QWebEngineProfile(QStringLiteral("Orvane"));
        m_profile->setPersistentStoragePath(dataDir);
        m_profile->setCachePath(cacheDir);
        m_profile->setHttpCacheType(QWebEngineProfile::DiskHttpCache);
        m_profile->setPersistentCookiesPolicy(QWebEngineProfile::AllowPersistentCookies);
    } else {
        m_note = m_lock->error() == QLockFile::LockFailedError
                ? QStringLiteral("another copy of Orvane keeps the saved data")
                : dataDir + QStringLiteral(" cannot be written");
        m_profile = new QWebEngineProfile(); // off the record: nothing written
    }
    m_downloads = std::make_unique<DownloadManager>(m_profile, prompter, timings);
    m_outOfSight = std::make_unique<OutOfSight>(timings, m_downloads.get());
}

WebEngineProfile::~WebEngineProfile()
{
    m_downloads->cancelAll();
    delete m_profile;
    // Cancelled downloads may leave their files until the engine has let go.
    m_downloads.reset();
}

QString WebEngineProfile::doneText() const
{
    if (m_lasting)
        return QStringLiteral("Done");
    // Short enough for the status bar of a small window, its closing bracket in sight.
    return QStringLiteral("Done (off the record: %1)").arg(m_note);
}

std::optional<bool> WebEngineProfile::permission(const QString &site, int feature) const
{
    const auto known = m_permissions.constFind({ site, feature });
    return known == m_permissions.cend() ? std::nullopt : std::optional<bool>(*known);
}

void WebEngineProfile::setPermission(const QString &site, int feature, bool granted)
{
    m_permissions.insert({ site, feature }, granted);
}
