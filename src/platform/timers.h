// The timer seam: the register's timers are started and stopped through this
// interface. The window backs it with real timers; tests fire them by hand.
#pragma once
#include <functional>
#include <map>
#include <string>

namespace tarvo {

enum class TimerId {
    Comm,        // Timer_Comm: the communication schedule, once a minute
    CIA,         // CIA_Timer: ends the timed text of the message line
    Message,     // Message_Timer: closes the timed message panel
    DEA,         // Tim_DEA: flashes the entry box
    Customer,    // Customer_Timer: greeting back on the customer display
    Scale,       // Scale_Timer: gives up waiting for a weight
    EndSale,     // Timer_EndSale: end-of-sale pause
    Credit,      // Credit_Timer: polls for a card answer
    Settlement,  // Settlement_Timer: polls for a settlement answer
};

class Timers {
public:
    virtual ~Timers() = default;
    // (Re)starts a repeating timer; its handler runs every intervalMs until
    // stopped. One-shot timers stop themselves in their handlers.
    virtual void Start(TimerId id, int intervalMs) = 0;
    virtual void Stop(TimerId id) = 0;
    virtual bool Running(TimerId id) const = 0;
    virtual int Interval(TimerId id) const = 0;
    void SetHandler(TimerId id, std::function<void()> h) { handlers_[id] = std::move(h); }

protected:
    void Fire(TimerId id) {
        auto it = handlers_.find(id);
        if (it != handlers_.end() && it->second) it->second();
    }

private:
    std::map<TimerId, std::function<void()>> handlers_;
};

// Timers a test fires itself.
class ManualTimers : public Timers {
public:
    void Start(TimerId id, int intervalMs) override { state_[id] = {true, intervalMs}; }
    void Stop(TimerId id) override { state_[id].running = false; }
    bool Running(TimerId id) const override {
        auto it = state_.find(id);
        return it != state_.end() && it->second.running;
    }
    int Interval(TimerId id) const override {
        auto it = state_.find(id);
        return it == state_.end() ? 0 : it->second.interval;
    }
    // Runs the handler once if the timer is running; true when it ran.
    bool Tick(TimerId id) {
        if (!Running(id)) return false;
        Fire(id);
        return true;
    }

private:
    struct S {
        bool running = false;
        int interval = 0;
    };
    std::map<TimerId, S> state_;
};

}  // namespace tarvo
