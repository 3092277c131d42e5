#pragma once

#include "dialogs/PageDownload.h"

// The page-source download over libcurl. It lives in a module of its own, loaded on
// the first "Edit Page", so the program does not load libcurl and its many
// libraries at start-up.
DownloadResult CurlFetch(const QString &address, const DownloadOptions &options);
