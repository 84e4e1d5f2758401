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
    const AvahiPoll *api = poll.poll();
    Calls once{api}, twice{api}, freed{api}, disabled{api};
    twice.rearmInCallback = true;
    freed.freeInCallback = true;

    const timeval soon = fromNow(20);
    const timeval past = fromNow(-1000);
    AvahiTimeout *onceTimeout = api->timeout_new(api, &soon, &onTimeout, &once);
    AvahiTimeout *twiceTimeout = api->timeout_new(api, &past, &onTimeout, &twice);
    api->timeout_new(api, &soon, &onTimeout, &freed);
    AvahiTimeout *disabledTimeout = api->timeout_new(api, nullptr, &onTimeout, &disabled);

    EXPECT_TRUE(QTest::qWaitFor([&] { return once.count && twice.count == 2 && freed.count; }, 5000));
    QTest::qWait(100);
    EXPECT_EQ(QList<int>({once.count, twice.count, freed.count, disabled.count}), QList<int>({1, 2, 1, 0}));

    // Updating with no time disables a timeout before it fires.
    const timeval later = fromNow(30);
    api->timeout_update(onceTimeout, &later);
    api->timeout_update(onceTimeout, nullptr);
    QTest::qWait(100);
    EXPECT_EQ(once.count, 1);

    for (AvahiTimeout *timeout : {onceTimeout, twiceTimeout, disabledTimeout})
        api->timeout_free(timeout);
}

TEST(QtAvahiPoll, WatchesReportTheirEventsAndMayBeFreedFromTheirCallback)
{
    int sockets[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, sockets), 0);
    QtAvahiPoll poll;
    const AvahiPoll *api = poll.poll();
    Calls reader{api}, writer{api};
    reader.freeInCallback = true;

    api->watch_new(api, sockets[0], AVAHI_WATCH_IN, &onWatch, &reader);
    AvahiWatch *writeWatch = api->watch_new(api, sockets[1], AVAHI_WATCH_IN, &onWatch, &writer);
    QTest::qWait(50);
    EXPECT_EQ(reader.count + writer.count, 0) << "nothing to read yet, not watched for writing yet";

    ASSERT_EQ(write(sockets[1], "x", 1), 1);
    EXPECT_TRUE(QTest::qWaitFor([&] { return reader.count == 1; }, 5000));
    EXPECT_EQ(reader.seen, AVAHI_WATCH_IN);
    EXPECT_EQ(reader.reported, AVAHI_WATCH_IN);
    ASSERT_EQ(write(sockets[1], "y", 1), 1);
    QTest::qWait(100);
    EXPECT_EQ(reader.count, 1) << "a freed watch stays silent";

    api->watch_update(writeWatch, AVAHI_WATCH_OUT);
    EXPECT_TRUE(QTest::qWaitFor([&] { return writer.count > 0; }, 5000));
    EXPECT_EQ(writer.seen, AVAHI_WATCH_OUT);
    EXPECT_EQ(api->watch_get_events(writeWatch), AvahiWatchEvent(0)) << "only set during a callback";
    api->watch_free(writeWatch);
    close(sockets[0]);
    close(sockets[1]);
}
