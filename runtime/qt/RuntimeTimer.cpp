#include "runtime/qt/RuntimeTimer.h"

#include "runtime/Runtime.h"

#include <QElapsedTimer>
#include <algorithm>

namespace vantorel::qt {

RuntimeTimer::RuntimeTimer(std::function<void()> onTick) : m_onTick(std::move(onTick))
{
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, [this] { fire(); });
}

qint64 RuntimeTimer::now()
{
    static QElapsedTimer clock = [] { QElapsedTimer c; c.start(); return c; }();
    return clock.elapsed();
}

int RuntimeTimer::effective() const { return std::max(m_period, kMinTimerPeriodMs); }

void RuntimeTimer::setPeriod(int ms)
{
    ms = std::max(ms, 0);
    if (ms == m_period)
        return; // keeps its phase
    m_period = ms;
    m_timer.stop();
    if (m_running && m_period > 0) {
        m_due = now() + effective();
        m_timer.start(effective());
    }
}

void RuntimeTimer::start()
{
    m_running = true;
    if (m_period > 0) {
        m_due = now() + effective();
        m_timer.start(effective());
    }
}

void RuntimeTimer::stop()
{
    m_running = false;
    m_timer.stop();
}

void RuntimeTimer::fire()
{
    // Re-arm before the handler runs: Qt does not deliver a running timer's
    // event to its own slot again, but a freshly started one it does.
    const qint64 t = now();
    const qint64 p = effective();
    m_due += p;
    if (m_due <= t) // periods missed while busy are lost, the phase is kept
        m_due += ((t - m_due) / p + 1) * p;
    m_timer.start(static_cast<int>(m_due - t));
    m_onTick();
}

} // namespace vantorel::qt
