#pragma once

#include <QString>

// A window's key: a blank (the sign position), its handle in decimal, and "web".
QString WindowKeyFor(int handle);
// Drops the last three characters and reads the rest as a number (a leading
// blank allowed). Returns 0 and sets *ok false when the rest is no number, as
// for the root "OpenWeb".
int WindowHandleFromKey(const QString &key, bool *ok = nullptr);
// True when the key names the window with this handle.
bool IsOwnKey(const QString &key, int handle);
