#include "interchange/device/DeviceTransfer.h"

#include "store/Localization.h"

#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <algorithm>

namespace velumark {

void configureDeviceNetwork(QNetworkAccessManager &manager)
{
    manager.setProxy(QNetworkProxy::NoProxy);
}

QNetworkRequest deviceRequest(const QUrl &url, int inactivityMs)
{
    QNetworkRequest request(url);
    request.setTransferTimeout(inactivityMs);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    // The bytes on the wire are the file itself, so that lengths and progress refer to it.
    request.setRawHeader("Accept-Encoding", "identity");
    return request;
}

std::optional<int> failedHttpStatus(const QNetworkReply &reply)
{
    const QVariant status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (!status.isValid())
        return std::nullopt;
    const int code = status.toInt();
    if (code >= 200 && code <= 299)
        return std::nullopt;
    return code;
}

int transferError(const QNetworkReply &reply)
{
    // Our own cancellations detach from the reply first, so a cancelled reply that still reports
    // was stopped by its transfer time-out.
    if (reply.error() == QNetworkReply::OperationCanceledError)
        return QNetworkReply::TimeoutError;
    return reply.error();
}

QString transferErrorText(const QNetworkReply &reply)
{
    if (transferError(reply) == QNetworkReply::TimeoutError)
        return localized("The request timed out.");
    return reply.errorString();
}

std::optional<double> transferPercent(qint64 done, qint64 total)
{
    if (total <= 0)
        return std::nullopt;
    const double percent = double(std::clamp<qint64>(done, 0, total)) * 100.0 / double(total);
    return percent;
}

} // namespace velumark
