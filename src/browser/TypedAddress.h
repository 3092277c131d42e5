#pragma once

#include <QString>

// The search address when the user has set none: the words go in place of %s.
inline constexpr char DefaultSearchAddress[] = "https://duckduckgo.com/?q=%s";

// What the text typed in the address box opens: the text itself when it reads as an
// address (a scheme, a dot, a port, localhost), else the search address with the
// words, URL-encoded, in place of %s.
QString AddressToOpen(const QString &typed, const QString &searchAddress);

// The search address set in Orvane's configuration file ([Search] SearchAddress);
// the default when the file, the key or its %s is missing.
QString SearchAddressIn(const QString &configFile);
