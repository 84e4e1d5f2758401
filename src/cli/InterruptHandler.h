#pragma once

#include <functional>
#include <memory>

class QSocketNotifier;

namespace velumark::cli {

// While it lives, Ctrl-C (SIGINT) calls the action on the event loop instead of ending the
// process, so that a long operation can cancel and clean up.
class InterruptHandler
{
public:
    explicit InterruptHandler(std::function<void()> action);
    ~InterruptHandler();
    InterruptHandler(const InterruptHandler &) = delete;
    InterruptHandler &operator=(const InterruptHandler &) = delete;

private:
    std::function<void()> m_action;
    std::unique_ptr<QSocketNotifier> m_notifier;
};

} // namespace velumark::cli
