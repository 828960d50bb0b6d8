#pragma once
// A timer with the runtime's rules: a write of the current period keeps the
// phase, another period restarts it (first event one period later), periods
// below the shortest tick at the shortest, missed events do not pile up, and
// its event reaches its handler again while that handler pumps events.

#include <QObject>
#include <QTimer>

#include <functional>

namespace vantorel::qt {

class RuntimeTimer : public QObject {
public:
    explicit RuntimeTimer(std::function<void()> onTick);

    int period() const { return m_period; }
    void setPeriod(int ms);
    void start();
    void stop();

private:
    void fire();
    static qint64 now();
    int effective() const;

    QTimer m_timer;
    std::function<void()> m_onTick;
    int m_period = 0;
    bool m_running = false;
    qint64 m_due = 0;
};

} // namespace vantorel::qt
