#include "ShellJourney.h"
#include "gui/shell/ActionManager.h"
#include "gui/shell/UpdateChecker.h"

#include <QAction>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

namespace velumark::test {
namespace {

using Outcome = gui::UpdateChecker::Result::Outcome;

// A web server on 127.0.0.1 that answers every request with one JSON body.
class FeedServer
{
public:
    explicit FeedServer(QByteArray body) : m_body(std::move(body))
    {
        EXPECT_TRUE(m_server.listen(QHostAddress::LocalHost));
        QObject::connect(&m_server, &QTcpServer::newConnection, &m_server, [this] {
            QTcpSocket *socket = m_server.nextPendingConnection();
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                if (!socket->readAll().contains("\r\n\r\n"))
                    return;
                socket->write("HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nConnection: close\r\n"
                              "Content-Length: " +
                              QByteArray::number(m_body.size()) + "\r\n\r\n" + m_body);
                socket->disconnectFromHost();
            });
        });
    }
    QUrl address() const
    {
        return QUrl(QStringLiteral("http://127.0.0.1:%1/feed.json").arg(m_server.serverPort()));
    }

private:
    QTcpServer m_server;
    QByteArray m_body;
};

gui::UpdateChecker::Result checkAgainst(const QUrl &feed)
{
    gui::UpdateChecker checker(feed);
    QSignalSpy finished(&checker, &gui::UpdateChecker::finished);
    checker.check();
    EXPECT_TRUE(finished.wait(20000));
    return finished.value(0).value(0).value<gui::UpdateChecker::Result>();
}

TEST(UpdateChecker, ReadsTheFeedAgainstTheRunningVersion)
{
    FeedServer newer(R"({"version": "1.10", "address": "https://downloads.velumark.invalid/1.10"})");
    const auto offered = checkAgainst(newer.address());
    EXPECT_EQ(offered.outcome, Outcome::NewerVersion);
    EXPECT_EQ(offered.version, QStringLiteral("1.10"));

    FeedServer same(R"({"version": "1.3", "address": "https://downloads.velumark.invalid/1.3"})");
    EXPECT_EQ(checkAgainst(same.address()).outcome, Outcome::UpToDate);

    FeedServer broken("<html>not a feed</html>");
    const auto unreadable = checkAgainst(broken.address());
    EXPECT_EQ(unreadable.outcome, Outcome::Failed);
    EXPECT_FALSE(unreadable.reason.isEmpty());

    // A newer version must say where to get it, and only from the web.
    EXPECT_EQ(gui::UpdateChecker::interpret(R"({"version": "2.0", "address": "file:///bin/sh"})",
                                            QStringLiteral("1.3"))
                  .outcome,
              Outcome::Failed);

    // Nobody listening.
    QUrl closed = newer.address();
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    closed.setPort(probe.serverPort());
    probe.close();
    EXPECT_EQ(checkAgainst(closed).outcome, Outcome::Failed);
}

TEST_F(ShellJourney, HelpAndUpdatesUseTheAddressesOfTheBuild)
{
    // This build's journey has none: the help items are disabled, the update check says so.
    ASSERT_TRUE(app().start({}));
    EXPECT_FALSE(app().actions().action(gui::ActionId::Website)->isEnabled());
    app().checkForUpdates();
    ASSERT_EQ(user.alerts.size(), 1u);
    EXPECT_TRUE(user.alerts[0].text.contains(QStringLiteral("not configured")));

    FeedServer feed(R"({"version": "2.0", "address": "https://downloads.velumark.invalid/2.0"})");
    const QUrl website(QStringLiteral("https://velumark.invalid/"));
    gui::VelumarkAppDelegate configured({website, QUrl(QStringLiteral("https://velumark.invalid/faq")),
                                         QUrl(QStringLiteral("https://social.invalid/velumark")),
                                         feed.address()});
    configured.actions().action(gui::ActionId::Website)->trigger();
    EXPECT_EQ(user.openedAddresses, std::vector<QUrl>{website});

    user.answers = {QStringLiteral("Download")};
    configured.checkForUpdates();
    QTRY_COMPARE(user.questions.size(), 1u);
    EXPECT_EQ(user.questions[0].text, QStringLiteral("Velumark 2.0 is available."));
    EXPECT_EQ(user.openedAddresses.back(), QUrl(QStringLiteral("https://downloads.velumark.invalid/2.0")));
}

} // namespace
} // namespace velumark::test
