#pragma once

#include <QString>
#include <optional>

// The address in a shortcut file: the rest of its first line that begins with
// exactly "BASEURL=", untrimmed. Lines may end in CR LF, LF or CR. Nothing when
// there is no such line or the file is not a readable ordinary file.
std::optional<QString> ReadShortcutAddress(const QString &path);

// A title as a file name: characters no file system or desktop takes become "_",
// blanks at its ends and leading dots go, and it is cut to a length any folder
// takes. Empty when nothing is left.
QString SafeShortcutName(const QString &title);
// Writes an Internet shortcut to address: BASEURL= under [DEFAULT] for the
// Favorites tree, URL= under [InternetShortcut] for other programs; CR LF lines.
// Written whole or not at all; false with why when it could not be.
bool WriteShortcut(const QString &path, const QString &address, QString *why);
