#include "forms/WindowKey.h"

QString WindowKeyFor(int handle)
{
    const QString number = QString::number(handle);
    return (handle < 0 ? number : QLatin1Char(' ') + number) + QLatin1String("web");
}

int WindowHandleFromKey(const QString &key, bool *ok)
{
    bool good = false;
    int handle = 0;
    if (key.size() > 3) {
        QStringView rest = QStringView(key).chopped(3);
        while (rest.startsWith(QLatin1Char(' ')))
            rest = rest.mid(1);
        if (!rest.isEmpty() && !rest.contains(QLatin1Char(' ')))
            handle = rest.toInt(&good);
        if (!good)
            handle = 0;
    }
    if (ok)
        *ok = good;
    return handle;
}

bool IsOwnKey(const QString &key, int handle)
{
    bool ok = false;
    const int h = WindowHandleFromKey(key, &ok);
    return ok && h == handle;
}
