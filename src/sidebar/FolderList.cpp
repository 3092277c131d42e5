#include "sidebar/FolderList.h"

#include <QDir>
#include <algorithm>

namespace {

QStringList entries(const QString &path, QDir::Filters filters)
{
    if (path.isEmpty())
        return {};
    // An unreadable folder lists as empty; no System flag keeps out broken links,
    // pipes and devices, which would block a later read.
    QStringList names = QDir(path).entryList(filters | QDir::NoDotAndDotDot, QDir::Unsorted);
    SortNamesIgnoringCase(names);
    return names;
}

} // namespace

void SortNamesIgnoringCase(QStringList &names)
{
    std::stable_sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
        const int c = QString::compare(a, b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : QString::compare(a, b, Qt::CaseSensitive) < 0;
    });
}

void FolderList::setPath(const QString &path)
{
    m_path = path;
    Refresh();
}

void FolderList::Refresh()
{
    m_list.clear();
    const QDir dir(m_path);
    for (const QString &name : entries(m_path, QDir::Dirs))
        m_list.append(dir.filePath(name));
}

void FileList::setPath(const QString &path)
{
    m_path = path;
    Refresh();
}

void FileList::Refresh()
{
    m_list = entries(m_path, QDir::Files);
}
