#pragma once

#include <QHash>
#include <QObject>
#include <QSet>
#include <avahi-common/watch.h>

namespace velumark {

// Runs the Avahi client library on the Qt event loop of the thread that owns this object: an
// Avahi watch becomes a pair of socket notifiers, an Avahi timeout a Qt timer. Avahi objects
// made with poll() must be freed before this object is destroyed.
class QtAvahiPoll : public QObject
{
    Q_OBJECT

public:
    explicit QtAvahiPoll(QObject *parent = nullptr);
    ~QtAvahiPoll() override;
    QtAvahiPoll(const QtAvahiPoll &) = delete;
    QtAvahiPoll &operator=(const QtAvahiPoll &) = delete;

    const AvahiPoll *poll() const { return &m_poll; }

protected:
    void timerEvent(QTimerEvent *event) override;

private:
    static AvahiWatch *watchNew(const AvahiPoll *api, int fd, AvahiWatchEvent events,
                                AvahiWatchCallback callback, void *userdata);
    static void watchUpdate(AvahiWatch *watch, AvahiWatchEvent events);
    static AvahiWatchEvent watchGetEvents(AvahiWatch *watch);
    static void watchFree(AvahiWatch *watch);
    static AvahiTimeout *timeoutNew(const AvahiPoll *api, const struct timeval *tv,
                                    AvahiTimeoutCallback callback, void *userdata);
    static void timeoutUpdate(AvahiTimeout *timeout, const struct timeval *tv);
    static void timeoutFree(AvahiTimeout *timeout);

    void dispatchWatch(AvahiWatch *watch, AvahiWatchEvent event);
    void destroyWatch(AvahiWatch *watch);
    void schedule(AvahiTimeout *timeout, const struct timeval *tv);

    AvahiPoll m_poll;
    QSet<AvahiWatch *> m_watches;
    QSet<AvahiTimeout *> m_timeouts;
    QHash<int, AvahiTimeout *> m_timeoutsByTimer; // the running ones, by Qt timer id
};

} // namespace velumark
