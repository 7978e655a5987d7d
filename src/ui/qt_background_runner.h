// The register's background runner on Qt: the work runs on the runner's
// worker thread, and each completion is queued to the GUI thread's event
// loop, so the window keeps repainting while a server is waited for.
#pragma once
#include <QObject>

#include "platform/background_runner.h"

namespace tarvo::ui {

class QtBackgroundRunner : public QObject, public WorkerRunner {
    Q_OBJECT
public:
    explicit QtBackgroundRunner(QObject* parent = nullptr) : QObject(parent) {}
    // Waits for the work in hand (its time-outs bound it); completions still
    // queued are dropped with the object.
    ~QtBackgroundRunner() override { Stop(); }

protected:
    void Deliver(std::function<void()> completion) override;
};

}  // namespace tarvo::ui
