#pragma once
// Event loops that run until a deadline on the monotonic clock, to within
// microseconds. Qt's timers count whole milliseconds and may wake up to one
// late; a timerfd armed at the absolute deadline wakes the loop's poll itself,
// with no timer slack, so the events are dispatched right up to the deadline.
// Waits may nest (a handler dispatched in one starts another); the innermost
// owns the timer and hands it back to the one around it when it ends.

#include <QEventLoop>
#include <QSocketNotifier>

#include <chrono>
#include <memory>
#include <vector>

namespace vantorel::qt {

class DeadlineWait {
public:
    using Deadline = std::chrono::steady_clock::time_point;

    DeadlineWait();
    ~DeadlineWait();
    DeadlineWait(const DeadlineWait&) = delete;
    DeadlineWait& operator=(const DeadlineWait&) = delete;

    /// Runs `loop` until `deadline` unless something else exits it first.
    void run(QEventLoop& loop, Deadline deadline);

private:
    void arm();
    void expired();

    struct Waiting {
        QEventLoop* loop;
        Deadline deadline;
    };
    int m_fd = -1;
    std::unique_ptr<QSocketNotifier> m_notifier;
    std::vector<Waiting> m_waiting;
};

} // namespace vantorel::qt
