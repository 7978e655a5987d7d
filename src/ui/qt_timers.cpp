#include "ui/qt_timers.h"

#include <QTimer>

namespace tarvo::ui {

QtTimers::QtTimers(QObject* parent) : QObject(parent) {}

QTimer* QtTimers::TimerFor(TimerId id) {
    auto it = timers_.find(id);
    if (it != timers_.end()) return it->second;
    auto* t = new QTimer(this);
    connect(t, &QTimer::timeout, this, [this, id] { Timeout(id); });
    timers_[id] = t;
    return t;
}

void QtTimers::Timeout(TimerId id) {
    if (!firing_.insert(id).second) return;
    Fire(id);
    firing_.erase(id);
}

void QtTimers::Start(TimerId id, int intervalMs) {
    intervals_[id] = intervalMs > 0 ? intervalMs : 0;
    QTimer* t = TimerFor(id);
    if (intervalMs <= 0) {
        t->stop();
        return;
    }
    t->start(intervalMs);
}

void QtTimers::Stop(TimerId id) {
    auto it = timers_.find(id);
    if (it != timers_.end()) it->second->stop();
}

bool QtTimers::Running(TimerId id) const {
    auto it = timers_.find(id);
    return it != timers_.end() && it->second->isActive();
}

int QtTimers::Interval(TimerId id) const {
    auto it = intervals_.find(id);
    return it == intervals_.end() ? 0 : it->second;
}

}  // namespace tarvo::ui
