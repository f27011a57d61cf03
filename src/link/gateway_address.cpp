// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/gateway_address.h"

#include "link/link_timing.h"

#include <QStringList>
#include <QUrl>
#include <QUrlQuery>

namespace quorven {

namespace {

constexpr QLatin1String kScheme("tcp://");
// No host name or address is longer; anything longer is no address.
constexpr qsizetype kMaxValueLength = 300;

bool IsLinkBaudRate(std::int32_t rate) {
    for (int index = 0; const auto row = BaudRowForIndex(index); ++index) {
        if (row->rate == rate) {
            return true;
        }
    }
    return false;
}

} // namespace

QString GatewayAddress::hostAndPort() const {
    const QString shownHost = host.contains(u':') ? u'[' + host + u']' : host;
    return shownHost + u':' + QString::number(port);
}

QString GatewayAddress::text() const {
    QString t = kScheme + hostAndPort();
    if (baud) {
        t += QStringLiteral("?baud=") + QString::number(*baud);
    }
    return t;
}

bool IsGatewayValue(QStringView value) {
    return value.startsWith(kScheme, Qt::CaseInsensitive);
}

std::optional<GatewayAddress> ParseGatewayAddress(const QString& value) {
    if (!IsGatewayValue(value) || value.size() > kMaxValueLength) {
        return std::nullopt;
    }
    const QUrl url(value, QUrl::StrictMode);
    const int port = url.port();
    if (!url.isValid() || url.host().isEmpty() || port < 1 || !url.userInfo().isEmpty() ||
        !(url.path().isEmpty() || url.path() == u"/") || url.hasFragment()) {
        return std::nullopt;
    }
    GatewayAddress address{url.host(), static_cast<std::uint16_t>(port), std::nullopt};
    if (!url.hasQuery()) {
        return address;
    }
    const auto items = QUrlQuery(url).queryItems();
    bool ok = false;
    const int baud =
        items.size() == 1 && items[0].first == u"baud" ? items[0].second.toInt(&ok) : 0;
    if (!ok || !IsLinkBaudRate(baud)) {
        return std::nullopt;
    }
    address.baud = baud;
    return address;
}

QString GatewayValueForms() {
    QStringList rates;
    for (int index = 0; const auto row = BaudRowForIndex(index); ++index) {
        rates.append(QString::number(row->rate));
    }
    return QStringLiteral("tcp://HOST:PORT or tcp://HOST:PORT?baud=RATE, RATE one of ") +
           rates.join(QStringLiteral(", "));
}

} // namespace quorven
