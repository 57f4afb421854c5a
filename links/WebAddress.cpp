#include "links/WebAddress.h"

#include <QRegularExpression>
#include <QUrl>

namespace {

// A scheme is letters, digits, "+", "-" and "." after a letter, before a colon.
QString schemeOf(const QString &address)
{
    static const QRegularExpression scheme(QStringLiteral("^([A-Za-z][A-Za-z0-9+.\\-]*):"));
    const QRegularExpressionMatch match = scheme.match(address);
    if (!match.hasMatch())
        return QString();
    // "host.name:port" and "localhost:port" carry no scheme; a word and a number
    // ("javascript:1") do.
    static const QRegularExpression port(QStringLiteral("^(?:[A-Za-z0-9\\-]+\\.[A-Za-z0-9.\\-]+|localhost):[0-9]+(?:[/?#]|$)"),
                                         QRegularExpression::CaseInsensitiveOption);
    if (port.match(address).hasMatch())
        return QString();
    return match.captured(1).toLower();
}

// The start of an address without a scheme must be a host name: letters (any
// script), digits, dots and hyphens, beginning with a letter or digit.
bool startsWithHost(const QString &address)
{
    static const QRegularExpression host(QStringLiteral("^[\\p{L}\\p{N}][\\p{L}\\p{N}.\\-]*(?::[0-9]+)?(?:[/?#]|$)"),
                                         QRegularExpression::UseUnicodePropertiesOption);
    return host.match(address).hasMatch();
}

} // namespace

std::optional<QString> openerAddress(const QString &text)
{
    const QString address = text.trimmed();
    if (address.isEmpty())
        return std::nullopt;
    const QString scheme = schemeOf(address);
    QString full;
    if (scheme.isEmpty()) {
        if (!startsWithHost(address))
            return std::nullopt;
        full = QStringLiteral("http://") + address;
    } else if (scheme == QLatin1String("http") || scheme == QLatin1String("https") || scheme == QLatin1String("ftp")) {
        full = address;
    } else {
        return std::nullopt;
    }
    const QUrl url(full, QUrl::TolerantMode);
    if (!url.isValid() || url.host().isEmpty())
        return std::nullopt;
    return QString::fromLatin1(url.toEncoded());
}

bool isWebAddress(const QString &text)
{
    return openerAddress(text).has_value();
}
