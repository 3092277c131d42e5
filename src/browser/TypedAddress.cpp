#include "browser/TypedAddress.h"

#include <QRegularExpression>
#include <QSettings>
#include <QUrl>

namespace {

bool readsAsAddress(const QString &text)
{
    // A scheme of its own ("http:", "about:", "mailto:"), not a host and its port.
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*:(?!\\d+(/|$))"));
    if (scheme.match(text).hasMatch() || text.startsWith(QLatin1Char('[')))
        return true;
    if (text.contains(QRegularExpression(QStringLiteral("\\s"))))
        return false;
    QString host = text.section(QRegularExpression(QStringLiteral("[/?#]")), 0, 0);
    static const QRegularExpression port(QStringLiteral(":\\d+$"));
    if (host.contains(port))
        return true;
    return host.contains(QLatin1Char('.')) || host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0;
}

} // namespace

QString AddressToOpen(const QString &typed, const QString &searchAddress)
{
    const QString text = typed.trimmed();
    if (text.isEmpty() || readsAsAddress(text))
        return typed;
    QString address = searchAddress;
    return address.replace(QLatin1String("%s"), QString::fromLatin1(QUrl::toPercentEncoding(text)));
}

QString SearchAddressIn(const QString &configFile)
{
    const QSettings config(configFile, QSettings::IniFormat);
    const QString address = config.value(QStringLiteral("Search/SearchAddress")).toString().trimmed();
    if (config.status() != QSettings::NoError || !address.contains(QLatin1String("%s"))
        || !QUrl(QString(address).replace(QLatin1String("%s"), QLatin1String("x")), QUrl::StrictMode)
                    .isValid())
        return QString::fromLatin1(DefaultSearchAddress);
    return address;
}
