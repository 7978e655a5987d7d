// The register's timers on Qt timers: each TimerId gets its own QTimer on
// the GUI thread; its handler runs on every timeout until the timer stops.
#pragma once
#include <QObject>
#include <map>
#include <set>

#include "platform/timers.h"

class QTimer;

namespace tarvo::ui {

class QtTimers : public QObject, public Timers {
    Q_OBJECT
public:
    explicit QtTimers(QObject* parent = nullptr);

    // An interval of 0 or less stops the timer (a classic timer with
    // interval 0 never fires).
    void Start(TimerId id, int intervalMs) override;
    void Stop(TimerId id) override;
    bool Running(TimerId id) const override;
    // The last interval started, 0 before any.
    int Interval(TimerId id) const override;

private:
    QTimer* TimerFor(TimerId id);
    void Timeout(TimerId id);

    std::map<TimerId, QTimer*> timers_;
    std::map<TimerId, int> intervals_;
    // Timers whose handler is running: a handler that waits on a message box
    // is not entered again by the same timer meanwhile.
    std::set<TimerId> firing_;
};

}  // namespace tarvo::ui
