// The register's descriptor watches on Qt socket notifiers: each watched
// descriptor gets a read notifier on the GUI thread, and its handler runs
// from the event loop whenever data is waiting.
#pragma once
#include <QObject>
#include <functional>
#include <map>

#include "platform/io_watch.h"

class QSocketNotifier;

namespace tarvo::ui {

class QtIoWatch : public QObject, public IoWatch {
    Q_OBJECT
public:
    explicit QtIoWatch(QObject* parent = nullptr);
    ~QtIoWatch() override;

    void Watch(int fd, std::function<void()> onReadable) override;
    void Unwatch(int fd) override;
    bool Watching(int fd) const override;

private:
    struct Entry {
        QSocketNotifier* notifier = nullptr;
        std::function<void()> handler;
        unsigned serial = 0;  // tells a new watch of a reused descriptor apart
    };
    void Activated(int fd);

    std::map<int, Entry> watches_;
    unsigned nextSerial_ = 0;
};

}  // namespace tarvo::ui
