#include "ui/qt_background_runner.h"

namespace tarvo::ui {

void QtBackgroundRunner::Deliver(std::function<void()> completion) {
    // Queued to the thread this object lives in, the GUI thread.
    QMetaObject::invokeMethod(this, std::move(completion), Qt::QueuedConnection);
}

}  // namespace tarvo::ui
