#pragma once

#include <QString>
#include <optional>

// The address in a shortcut file: the rest of its first line that begins with
// exactly "BASEURL=", untrimmed. Lines may end in CR LF, LF or CR. Nothing when
// there is no such line or the file is not a readable ordinary file.
std::optional<QString> ReadShortcutAddress(const QString &path);
