#include "forms/SettingsFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

// Neither accepted line is long; a longer one is simply "some other text".
constexpr qint64 ReadCap = 4096;

SettingsRead failure(int code, const QString &description)
{
    SettingsRead r;
    r.code = code;
    r.description = description;
    return r;
}

// Splits off one line (CR LF, LF or CR ends it). False when nothing is left.
bool takeLine(const QByteArray &data, int *pos, QByteArray *line)
{
    if (*pos >= data.size())
        return false;
    int i = *pos;
    while (i < data.size() && data[i] != '\r' && data[i] != '\n')
        ++i;
    *line = data.mid(*pos, i - *pos);
    if (i < data.size()) {
        if (data[i] == '\r' && i + 1 < data.size() && data[i + 1] == '\n')
            ++i;
        ++i;
    }
    *pos = i;
    return true;
}

} // namespace

QString SettingsFilePath(const QString &programDir)
{
    QString dir = programDir;
    while (dir.size() > 1 && dir.endsWith(QLatin1Char('/')))
        dir.chop(1);
    return dir + QLatin1String("/Orvane.ini");
}

QString SettingsFileLocation(const QString &programDir, const QString &configDir)
{
    // isWritable asks the system (access()), so a read-only mount counts even for root.
    const QFileInfo folder(programDir);
    if (configDir.isEmpty() || (!programDir.isEmpty() && folder.isDir() && folder.isWritable()))
        return SettingsFilePath(programDir);
    QDir().mkpath(configDir);
    return SettingsFilePath(configDir);
}

SettingsRead ReadSettingsFile(const QString &path)
{
    QFileInfo info(path);
    if (!info.exists()) {
        SettingsRead r = failure(FileError::NotFound, QStringLiteral("File not found"));
        r.missing = true;
        return r;
    }
    if (info.isDir())
        return failure(FileError::AccessError, QStringLiteral("Path/File access error"));
    // A pipe or a device would block the open or the read.
    if (!info.isFile())
        return failure(FileError::AccessError, QStringLiteral("Path/File access error"));

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (file.error() == QFileDevice::PermissionsError || !info.isReadable())
            return failure(FileError::PermissionDenied, QStringLiteral("Permission denied"));
        return failure(FileError::AccessError, QStringLiteral("Path/File access error"));
    }
    const QByteArray data = file.read(ReadCap);
    const bool readFailed = file.error() != QFileDevice::NoError;
    file.close();
    if (readFailed)
        return failure(FileError::DeviceIo, QStringLiteral("Device I/O error"));

    int pos = 0;
    QByteArray line;
    if (!takeLine(data, &pos, &line))
        return failure(FileError::PastEnd, QStringLiteral("Input past end of file"));
    if (line == "[New Window]" && !takeLine(data, &pos, &line))
        return failure(FileError::PastEnd, QStringLiteral("Input past end of file"));

    SettingsRead r;
    r.ok = true;
    r.mode = line == "Focus" ? NewWindowMode::Focus : NewWindowMode::Background;
    return r;
}

SettingsWrite WriteSettingsFile(const QString &path, NewWindowMode mode)
{
    QByteArray bytes("[New Window]\r\n");
    bytes += mode == NewWindowMode::Focus ? "Focus\r\n" : "Background\r\n";

    SettingsWrite w;
    QSaveFile file(path);
    // Unbuffered, so a full disk fails the write itself: a buffered write would
    // only fail in commit's flush, which does not report it, and an empty file
    // would replace the old one.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        w.code = FileError::PermissionDenied;
        w.description = QStringLiteral("Permission denied: ") + file.errorString();
        return w;
    }
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        w.code = FileError::AccessError;
        w.description = QStringLiteral("Path/File access error: ") + file.errorString();
        file.cancelWriting();
        return w;
    }
    w.ok = true;
    return w;
}
