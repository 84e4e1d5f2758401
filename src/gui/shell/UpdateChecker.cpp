#include "gui/shell/UpdateChecker.h"

#include "store/Localization.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QVersionNumber>

namespace velumark::gui {

namespace {
constexpr int kTimeoutMs = 20000;
constexpr qint64 kLargestFeed = 64 * 1024;
} // namespace

UpdateChecker::UpdateChecker(QUrl feed, QObject *parent)
    : QObject(parent), m_feed(std::move(feed)), m_network(new QNetworkAccessManager(this))
{}

UpdateChecker::~UpdateChecker() = default;

void UpdateChecker::check()
{
    if (isChecking() || !isConfigured())
        return;
    QNetworkRequest request(m_feed);
    request.setTransferTimeout(kTimeoutMs);
    request.setHeader(QNetworkRequest::UserAgentHeader,
                      QStringLiteral("Velumark/%1").arg(QCoreApplication::applicationVersion()));
    m_reply = m_network->get(request);
    connect(m_reply, &QNetworkReply::finished, this, &UpdateChecker::replyFinished);
}

void UpdateChecker::replyFinished()
{
    QNetworkReply *reply = m_reply;
    reply->deleteLater();
    Result result;
    if (reply->error() != QNetworkReply::NoError) {
        result.reason = reply->errorString();
    } else {
        const QByteArray feed = reply->read(kLargestFeed + 1);
        if (feed.size() > kLargestFeed)
            result.reason = localized("The update feed is larger than an update feed can be.");
        else
            result = interpret(feed, QCoreApplication::applicationVersion());
    }
    m_reply.clear();
    emit finished(result);
}

UpdateChecker::Result UpdateChecker::interpret(const QByteArray &feed, const QString &runningVersion)
{
    Result result;
    const QJsonObject object = QJsonDocument::fromJson(feed).object();
    result.version = object.value(QLatin1String("version")).toString();
    result.address = QUrl(object.value(QLatin1String("address")).toString());
    const QVersionNumber offered = QVersionNumber::fromString(result.version);
    if (offered.isNull()) {
        result.reason = localized("The update feed names no version.");
        return result;
    }
    if (offered <= QVersionNumber::fromString(runningVersion)) {
        result.outcome = Result::Outcome::UpToDate;
        return result;
    }
    const QString scheme = result.address.scheme();
    if (!result.address.isValid() || (scheme != QLatin1String("https") && scheme != QLatin1String("http"))) {
        result.reason = localized("The update feed gives no web address for version %1.").arg(result.version);
        return result;
    }
    result.outcome = Result::Outcome::NewerVersion;
    return result;
}

} // namespace velumark::gui
