#include "interchange/device/QtAvahiPoll.h"

#include <QTest>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace velumark;

namespace {

struct Calls
{
    const AvahiPoll *api = nullptr;
    int count = 0;
    AvahiWatchEvent seen = AvahiWatchEvent(0);
    AvahiWatchEvent reported = AvahiWatchEvent(0);
    bool freeInCallback = false;
    bool rearmInCallback = false;
};

timeval fromNow(int milliseconds)
{
    timeval tv;
    gettimeofday(&tv, nullptr);
    tv.tv_usec += milliseconds * 1000;
    tv.tv_sec += tv.tv_usec / 1000000;
    tv.tv_usec %= 1000000;
    return tv;
}

void onTimeout(AvahiTimeout *timeout, void *userdata)
{
    auto *calls = static_cast<Calls *>(userdata);
    ++calls->count;
    if (calls->rearmInCallback && calls->count == 1) {
        const timeval again = fromNow(10);
        calls->api->timeout_update(timeout, &again);
    }
    if (calls->freeInCallback)
        calls->api->timeout_free(timeout);
}

void onWatch(AvahiWatch *watch, int fd, AvahiWatchEvent event, void *userdata)
{
    auto *calls = static_cast<Calls *>(userdata);
    ++calls->count;
    calls->seen = event;
    calls->reported = calls->api->watch_get_events(watch);
    char buffer[16];
    if (event & AVAHI_WATCH_IN)
        (void)read(fd, buffer, sizeof buffer);
    if (calls->freeInCallback)
        calls->api->watch_free(watch);
}

} // namespace

TEST(QtAvahiPoll, TimeoutsFireOnceAndMayBeRearmedOrFreedFromTheirCallback)
{
    QtAvahiPoll poll;
    Calls once{poll.poll()};
    Calls twice{poll.poll()};
    twice.rearmInCallback = true;
    Calls freed{poll.poll()};
    freed.freeInCallback = true;
    Calls disabled{poll.poll()};

    const timeval soon = fromNow(20);
    const timeval past = fromNow(-1000);
    AvahiTimeout *onceTimeout = poll.poll()->timeout_new(poll.poll(), &soon, &onTimeout, &once);
    AvahiTimeout *twiceTimeout = poll.poll()->timeout_new(poll.poll(), &past, &onTimeout, &twice);
    poll.poll()->timeout_new(poll.poll(), &soon, &onTimeout, &freed);
    AvahiTimeout *disabledTimeout = poll.poll()->timeout_new(poll.poll(), nullptr, &onTimeout, &disabled);

    EXPECT_TRUE(QTest::qWaitFor([&] { return once.count && twice.count == 2 && freed.count; }, 5000));
    QTest::qWait(100);
    EXPECT_EQ(once.count, 1);
    EXPECT_EQ(twice.count, 2);
    EXPECT_EQ(freed.count, 1);
    EXPECT_EQ(disabled.count, 0);

    // Updating with no time disables a timeout before it fires.
    const timeval later = fromNow(30);
    poll.poll()->timeout_update(onceTimeout, &later);
    poll.poll()->timeout_update(onceTimeout, nullptr);
    QTest::qWait(100);
    EXPECT_EQ(once.count, 1);

    poll.poll()->timeout_free(onceTimeout);
    poll.poll()->timeout_free(twiceTimeout);
    poll.poll()->timeout_free(disabledTimeout);
}

TEST(QtAvahiPoll, WatchesReportTheirEventsAndMayBeFreedFromTheirCallback)
{
    int sockets[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, sockets), 0);
    QtAvahiPoll poll;
    Calls reader{poll.poll()};
    reader.freeInCallback = true;
    Calls writer{poll.poll()};

    poll.poll()->watch_new(poll.poll(), sockets[0], AVAHI_WATCH_IN, &onWatch, &reader);
    AvahiWatch *writeWatch =
        poll.poll()->watch_new(poll.poll(), sockets[1], AVAHI_WATCH_IN, &onWatch, &writer);
    QTest::qWait(50);
    EXPECT_EQ(reader.count, 0) << "nothing to read yet";
    EXPECT_EQ(writer.count, 0) << "not watched for writing yet";

    ASSERT_EQ(write(sockets[1], "x", 1), 1);
    EXPECT_TRUE(QTest::qWaitFor([&] { return reader.count == 1; }, 5000));
    EXPECT_EQ(reader.seen, AVAHI_WATCH_IN);
    EXPECT_EQ(reader.reported, AVAHI_WATCH_IN);
    ASSERT_EQ(write(sockets[1], "y", 1), 1);
    QTest::qWait(100);
    EXPECT_EQ(reader.count, 1) << "a freed watch stays silent";

    poll.poll()->watch_update(writeWatch, AVAHI_WATCH_OUT);
    EXPECT_TRUE(QTest::qWaitFor([&] { return writer.count > 0; }, 5000));
    EXPECT_EQ(writer.seen, AVAHI_WATCH_OUT);
    EXPECT_EQ(poll.poll()->watch_get_events(writeWatch), AvahiWatchEvent(0)) << "only set during a callback";
    poll.poll()->watch_free(writeWatch);
    close(sockets[0]);
    close(sockets[1]);
}
