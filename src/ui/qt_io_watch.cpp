#include "ui/qt_io_watch.h"

#include <QSocketNotifier>

namespace tarvo::ui {

namespace {

// A notifier may be stopped from inside its own signal: it is disabled at
// once and deleted when the event loop is back.
void Retire(QSocketNotifier* n) {
    if (!n) return;
    n->setEnabled(false);
    n->disconnect();
    n->deleteLater();
}

}  // namespace

QtIoWatch::QtIoWatch(QObject* parent) : QObject(parent) {}

QtIoWatch::~QtIoWatch() {
    for (auto& [fd, e] : watches_) Retire(e.notifier);
}

void QtIoWatch::Watch(int fd, std::function<void()> onReadable) {
    if (fd < 0) return;
    auto it = watches_.find(fd);
    if (it != watches_.end()) {
        it->second.handler = std::move(onReadable);
        it->second.notifier->setEnabled(true);
        return;
    }
    auto* n = new QSocketNotifier(static_cast<qintptr>(fd), QSocketNotifier::Read, this);
    connect(n, &QSocketNotifier::activated, this, [this, fd] { Activated(fd); });
    watches_[fd] = Entry{n, std::move(onReadable), ++nextSerial_};
    n->setEnabled(true);
}

void QtIoWatch::Unwatch(int fd) {
    auto it = watches_.find(fd);
    if (it == watches_.end()) return;
    Retire(it->second.notifier);
    watches_.erase(it);
}

bool QtIoWatch::Watching(int fd) const { return watches_.count(fd) != 0; }

void QtIoWatch::Activated(int fd) {
    auto it = watches_.find(fd);
    if (it == watches_.end() || !it->second.handler) return;
    // The handler may end this watch (or start another on the same
    // descriptor number): it runs from a copy. Its notifier stays quiet
    // meanwhile, so a message box the handler waits on does not enter it again.
    const std::function<void()> handler = it->second.handler;
    const unsigned serial = it->second.serial;
    QSocketNotifier* n = it->second.notifier;
    n->setEnabled(false);
    handler();
    auto again = watches_.find(fd);
    if (again != watches_.end() && again->second.serial == serial) n->setEnabled(true);
}

}  // namespace tarvo::ui
