#include "runtime/qt/DeadlineWait.h"

#include <QTimer>

#include <sys/timerfd.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>

namespace vantorel::qt {

DeadlineWait::DeadlineWait() : m_fd(timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC))
{
    if (m_fd < 0)
        return; // waits fall back to Qt's millisecond timers
    m_notifier = std::make_unique<QSocketNotifier>(m_fd, QSocketNotifier::Read);
    QObject::connect(m_notifier.get(), &QSocketNotifier::activated, [this] { expired(); });
}

DeadlineWait::~DeadlineWait()
{
    m_notifier.reset();
    if (m_fd >= 0)
        close(m_fd);
}

void DeadlineWait::run(QEventLoop& loop, Deadline deadline)
{
    if (m_fd < 0) {
        using namespace std::chrono;
        QTimer timer;
        timer.setSingleShot(true);
        timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer, &QTimer::timeout, &loop, [&loop] { loop.exit(); });
        const auto ms = duration_cast<milliseconds>(deadline - steady_clock::now() + microseconds(999)).count();
        timer.start(static_cast<int>(std::min<std::int64_t>(ms, INT32_MAX)));
        loop.exec();
        return;
    }
    m_waiting.push_back({&loop, deadline});
    arm();
    loop.exec();
    m_waiting.pop_back();
    arm(); // back to the deadline of the wait around this one, if any
}

void DeadlineWait::arm()
{
    itimerspec spec{}; // all zero disarms
    if (!m_waiting.empty()) {
        using namespace std::chrono;
        const auto ns = duration_cast<nanoseconds>(m_waiting.back().deadline.time_since_epoch()).count();
        // steady_clock is CLOCK_MONOTONIC; a zero time would disarm, a time
        // already past fires at once
        spec.it_value.tv_sec = static_cast<time_t>(ns / 1000000000);
        spec.it_value.tv_nsec = static_cast<long>(ns % 1000000000);
        if (spec.it_value.tv_sec == 0 && spec.it_value.tv_nsec == 0)
            spec.it_value.tv_nsec = 1;
    }
    timerfd_settime(m_fd, TFD_TIMER_ABSTIME, &spec, nullptr);
}

void DeadlineWait::expired()
{
    std::uint64_t expirations = 0;
    if (read(m_fd, &expirations, sizeof expirations) < 0)
        return; // nothing to read: an earlier arming was replaced
    if (!m_waiting.empty() && std::chrono::steady_clock::now() >= m_waiting.back().deadline)
        m_waiting.back().loop->exit();
}

} // namespace vantorel::qt
