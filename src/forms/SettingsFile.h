#pragma once

#include <QString>

enum class NewWindowMode { Focus, Background };

// The outcome of reading "Orvane.ini". Failures come back as values with the
// file layer's code and description; nothing is thrown.
struct SettingsRead
{
    bool ok = false;
    bool missing = false; // the file does not exist
    NewWindowMode mode = NewWindowMode::Background;
    int code = 0;
    QString description;
};

struct SettingsWrite
{
    bool ok = false;
    int code = 0;
    QString description;
};

// File-layer failure codes.
namespace FileError {
enum { NotFound = 53, DeviceIo = 57, PastEnd = 62, PermissionDenied = 70, AccessError = 75 };
}

QString SettingsFilePath(const QString &programDir);
// Where Orvane.ini lives: beside the program while its folder is writable (a build
// tree, a copied folder), else in configDir, which is created when missing. An
// empty programDir (an installed copy) means configDir; an empty configDir keeps
// the file beside the program.
QString SettingsFileLocation(const QString &programDir, const QString &configDir);
// Two lines: an optional "[New Window]" header, then "Focus" (exactly) or
// anything else, which means Background. The file is closed on every path.
SettingsRead ReadSettingsFile(const QString &path);
// Writes "[New Window]" and the value, each ended by CR LF, atomically: either
// the whole new file is in place or the old one is untouched.
SettingsWrite WriteSettingsFile(const QString &path, NewWindowMode mode);
