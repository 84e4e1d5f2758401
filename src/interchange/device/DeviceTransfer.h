#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>

class QNetworkAccessManager;
class QNetworkReply;
class QNetworkRequest;
class QUrl;

namespace velumark {

// What the uploader and the downloader share when they talk to a device on the local network.

// A device is reached directly: no proxy, whatever the environment says.
void configureDeviceNetwork(QNetworkAccessManager &manager);

// A request to a device. inactivityMs limits the time without any progress, not the whole
// transfer. Redirects are not followed: a device has no reason to send the desktop elsewhere.
QNetworkRequest deviceRequest(const QUrl &url, int inactivityMs);

// The HTTP status of the reply when it lies outside 200 to 299; none while no status has
// arrived or when it is a success.
std::optional<int> failedHttpStatus(const QNetworkReply &reply);

// Why a reply failed, as an error and in words for the user. A transfer stopped by its
// inactivity limit counts as a time-out rather than as a cancellation.
int transferError(const QNetworkReply &reply);
QString transferErrorText(const QNetworkReply &reply);

// The share of a transfer done, 0 to 100; none while the total is unknown or zero.
std::optional<double> transferPercent(qint64 done, qint64 total);

} // namespace velumark
