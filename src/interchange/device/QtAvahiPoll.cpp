#include "interchange/device/QtAvahiPoll.h"

#include <QSocketNotifier>
#include <QTimerEvent>
#include <algorithm>
#include <climits>
#include <sys/time.h>

// Avahi declares these two types and leaves their definition to the poll implementation.
struct AvahiWatch
{
    velumark::QtAvahiPoll *owner;
    int fd;
    AvahiWatchCallback callback;
    void *userdata;
    // Children of the owner. They are deleted later, never at once, because Avahi may free a
    // watch from inside the notifier's own signal.
    QSocketNotifier *reader;
    QSocketNotifier *writer;
    AvahiWatchEvent lastEvents = AvahiWatchEvent(0);
    bool dispatching = false;
    bool freed = false;
};

struct AvahiTimeout
{
    velumark::QtAvahiPoll *owner;
    AvahiTimeoutCallback callback;
    void *userdata;
    int timerId = 0; // 0 while disabled
};

namespace velumark {

namespace {

QtAvahiPoll *ownerOf(const AvahiPoll *api)
{
    return static_cast<QtAvahiPoll *>(api->userdata);
}

// Milliseconds from now until the absolute wall-clock time Avahi gives, 0 when it has passed.
int millisecondsUntil(const struct timeval &tv)
{
    struct timeval now;
    gettimeofday(&now, nullptr);
    const qint64 micro = (qint64(tv.tv_sec) - now.tv_sec) * 1000000 + (qint64(tv.tv_usec) - now.tv_usec);
    return int(std::clamp<qint64>((micro + 999) / 1000, 0, INT_MAX));
}

} // namespace

QtAvahiPoll::QtAvahiPoll(QObject *parent) : QObject(parent)
{
    m_poll.userdata = this;
    m_poll.watch_new = &QtAvahiPoll::watchNew;
    m_poll.watch_update = &QtAvahiPoll::watchUpdate;
    m_poll.watch_get_events = &QtAvahiPoll::watchGetEvents;
    m_poll.watch_free = &QtAvahiPoll::watchFree;
    m_poll.timeout_new = &QtAvahiPoll::timeoutNew;
    m_poll.timeout_update = &QtAvahiPoll::timeoutUpdate;
    m_poll.timeout_free = &QtAvahiPoll::timeoutFree;
}

QtAvahiPoll::~QtAvahiPoll()
{
    // Only reached with leftovers when a caller broke the contract; the notifiers go with us.
    qDeleteAll(m_watches);
    qDeleteAll(m_timeouts);
}

AvahiWatch *QtAvahiPoll::watchNew(const AvahiPoll *api, int fd, AvahiWatchEvent events,
                                  AvahiWatchCallback callback, void *userdata)
{
    QtAvahiPoll *owner = ownerOf(api);
    auto *watch = new AvahiWatch{owner,
                                 fd,
                                 callback,
                                 userdata,
                                 new QSocketNotifier(fd, QSocketNotifier::Read, owner),
                                 new QSocketNotifier(fd, QSocketNotifier::Write, owner)};
    connect(watch->reader, &QSocketNotifier::activated, owner,
            [owner, watch] { owner->dispatchWatch(watch, AVAHI_WATCH_IN); });
    connect(watch->writer, &QSocketNotifier::activated, owner,
            [owner, watch] { owner->dispatchWatch(watch, AVAHI_WATCH_OUT); });
    owner->m_watches.insert(watch);
    watchUpdate(watch, events);
    return watch;
}

void QtAvahiPoll::watchUpdate(AvahiWatch *watch, AvahiWatchEvent events)
{
    // Errors and hang-ups wake the read notifier; Avahi then reads and sees them.
    watch->reader->setEnabled(events & (AVAHI_WATCH_IN | AVAHI_WATCH_ERR | AVAHI_WATCH_HUP));
    watch->writer->setEnabled(events & AVAHI_WATCH_OUT);
}

AvahiWatchEvent QtAvahiPoll::watchGetEvents(AvahiWatch *watch)
{
    return watch->lastEvents;
}

void QtAvahiPoll::watchFree(AvahiWatch *watch)
{
    if (watch->dispatching) {
        watch->freed = true;
        watch->reader->setEnabled(false);
        watch->writer->setEnabled(false);
        return;
    }
    watch->owner->destroyWatch(watch);
}

void QtAvahiPoll::dispatchWatch(AvahiWatch *watch, AvahiWatchEvent event)
{
    watch->lastEvents = event;
    watch->dispatching = true;
    watch->callback(watch, watch->fd, event, watch->userdata);
    watch->dispatching = false;
    watch->lastEvents = AvahiWatchEvent(0);
    if (watch->freed)
        destroyWatch(watch);
}

void QtAvahiPoll::destroyWatch(AvahiWatch *watch)
{
    // Disabled at once so that a closed or reused descriptor is no longer watched.
    watch->reader->setEnabled(false);
    watch->writer->setEnabled(false);
    watch->reader->deleteLater();
    watch->writer->deleteLater();
    m_watches.remove(watch);
    delete watch;
}

AvahiTimeout *QtAvahiPoll::timeoutNew(const AvahiPoll *api, const struct timeval *tv,
                                      AvahiTimeoutCallback callback, void *userdata)
{
    QtAvahiPoll *owner = ownerOf(api);
    auto *timeout = new AvahiTimeout{owner, callback, userdata};
    owner->m_timeouts.insert(timeout);
    owner->schedule(timeout, tv);
    return timeout;
}

void QtAvahiPoll::timeoutUpdate(AvahiTimeout *timeout, const struct timeval *tv)
{
    timeout->owner->schedule(timeout, tv);
}

void QtAvahiPoll::timeoutFree(AvahiTimeout *timeout)
{
    QtAvahiPoll *owner = timeout->owner;
    owner->schedule(timeout, nullptr);
    owner->m_timeouts.remove(timeout);
    delete timeout;
}

void QtAvahiPoll::schedule(AvahiTimeout *timeout, const struct timeval *tv)
{
    if (timeout->timerId) {
        killTimer(timeout->timerId);
        m_timeoutsByTimer.remove(timeout->timerId);
        timeout->timerId = 0;
    }
    if (!tv)
        return;
    timeout->timerId = startTimer(millisecondsUntil(*tv), Qt::PreciseTimer);
    if (timeout->timerId)
        m_timeoutsByTimer.insert(timeout->timerId, timeout);
}

void QtAvahiPoll::timerEvent(QTimerEvent *event)
{
    AvahiTimeout *timeout = m_timeoutsByTimer.take(event->timerId());
    if (!timeout)
        return;
    // A timeout fires once; the callback may re-arm or free it, so it is not touched afterwards.
    killTimer(timeout->timerId);
    timeout->timerId = 0;
    timeout->callback(timeout, timeout->userdata);
}

} // namespace velumark
