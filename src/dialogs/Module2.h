#pragma once

#include "dialogs/PageDownload.h"

#include <QString>

class EditorHost;
class frmEdit;

namespace Module2 {
// Downloads the address's raw text and shows it in a new editor window. Returns the
// editor, or nullptr when nothing could be read (the user has been told).
frmEdit *EditPageSource(EditorHost *frame, const QString &address,
                        const DownloadOptions &options = DownloadOptions());

// The editor's text: the received bytes as 8-bit text, padded with spaces to
// PageDownload::MaxBytes characters.
QString PageBuffer(const QByteArray &bytes);
} // namespace Module2
