#include "sidebar/Shortcut.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

constexpr qint64 ChunkSize = 64 * 1024;
// A shortcut is a few hundred bytes; longer lines are no address we can use, and
// past this much the file is no shortcut at all.
constexpr int MaxLineLength = 64 * 1024;
constexpr qint64 MaxFileBytes = 16 * 1024 * 1024;

const QByteArray Marker = QByteArrayLiteral("BASEURL=");

} // namespace

std::optional<QString> ReadShortcutAddress(const QString &path)
{
    // Only ordinary files: a pipe or device would block the read.
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;

    QByteArray line;
    bool tooLong = false;
    auto endLine = [&]() -> std::optional<QString> {
        std::optional<QString> found;
        if (!tooLong && line.startsWith(Marker))
            found = QString::fromLocal8Bit(line.mid(Marker.size()));
        line.clear();
        tooLong = false;
        return found;
    };

    qint64 total = 0;
    while (total < MaxFileBytes) {
        const QByteArray chunk = file.read(ChunkSize);
        if (chunk.isEmpty())
            break;
        total += chunk.size();
        qsizetype start = 0;
        while (start < chunk.size()) {
            qsizetype end = start;
            while (end < chunk.size() && chunk.at(end) != '\r' && chunk.at(end) != '\n')
                ++end;
            if (!tooLong) {
                line.append(chunk.constData() + start, end - start);
                if (line.size() > MaxLineLength) {
                    tooLong = true;
                    line.clear();
                }
            }
            if (end == chunk.size())
                break;
            // CR, LF or CR LF: the empty line a CR LF leaves between them matters
            // to no one, since only lines starting with the marker count.
            if (auto found = endLine())
                return found;
            start = end + 1;
        }
    }
    // The last line need not end in a line break.
    if (total < MaxFileBytes)
        return endLine();
    return std::nullopt;
}

QString SafeShortcutName(const QString &title)
{
    QString name;
    for (const QChar c : title)
        name += c.category() == QChar::Other_Control || QStringLiteral("/\\:*?\"<>|").contains(c)
                ? QChar(u'_') : c;
    name = name.simplified();
    while (name.startsWith(QLatin1Char('.')))
        name.remove(0, 1);
    // 255 bytes is the usual limit, ".url" included; UTF-8 takes up to 4 a character.
    while (name.toUtf8().size() > 200)
        name.chop(name.back().isLowSurrogate() ? 2 : 1);
    return name.trimmed();
}

bool WriteShortcut(const QString &path, const QString &address, QString *why)
{
    // An address never spans lines: a line break in it would add a line of its own.
    const QByteArray url = QString(address).remove(QLatin1Char('\r')).remove(QLatin1Char('\n')).toUtf8();
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)
        || file.write("[DEFAULT]\r\nBASEURL=" + url + "\r\n[InternetShortcut]\r\nURL=" + url + "\r\n") < 0
        || !file.commit()) {
        *why = file.errorString();
        return false;
    }
    return true;
}
