#pragma once

#include <QString>
#include <QStringList>

// The immediate sub-folders of a folder, as full paths, sorted by name without
// regard to case. Hidden (dot) folders are left out.
class FolderList
{
public:
    void setPath(const QString &path);
    QString Path() const { return m_path; }
    void Refresh();

    int ListCount() const { return m_list.size(); }
    QString List(int index) const { return m_list.value(index); }
    // -1 right after the path is set: no entry is current.
    int ListIndex() const { return -1; }

private:
    QString m_path;
    QStringList m_list;
};

// The names (without folder) of the ordinary files in a folder, sorted by name
// without regard to case. Hidden (dot) files and special files are left out.
class FileList
{
public:
    void setPath(const QString &path);
    QString Path() const { return m_path; }
    void Refresh();

    int ListCount() const { return m_list.size(); }
    QString List(int index) const { return m_list.value(index); }

private:
    QString m_path;
    QStringList m_list;
};

// Ascending by name, letters compared without regard to case; names that differ
// only in case keep a fixed order.
void SortNamesIgnoringCase(QStringList &names);
