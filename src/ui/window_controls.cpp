#include "ui/window_controls.h"

#include <QEvent>
#include <QWidget>

namespace tarvo::ui {

namespace {

// Changes one hint of a top-level window and keeps it where it was: a shown
// window is hidden by setWindowFlags and must be shown again.
void SetHint(QWidget* w, Qt::WindowType hint, bool on) {
    if (w->windowFlags().testFlag(hint) == on) return;
    const bool shown = w->isVisible();
    const QRect where = w->geometry();
    w->setWindowFlag(hint, on);
    if (shown) {
        w->setGeometry(where);
        w->show();
    }
}

// Refuses every close request (the window system's close box, Alt+F4, a
// window manager's menu) while the close box is greyed; a form leaves by
// hiding itself.
class CloseGuard : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (e->type() == QEvent::Close) {
            e->ignore();
            return true;
        }
        return QObject::eventFilter(watched, e);
    }
};

constexpr const char* kGuardName = "tarvoCloseGuard";

}  // namespace

int SetCloseButton(QWidget* w, bool enable) {
    if (!w || !w->isWindow()) return -1;
    // A close box can only be asked for with the customised hints on.
    if (!w->windowFlags().testFlag(Qt::CustomizeWindowHint)) {
        SetHint(w, Qt::CustomizeWindowHint, true);
        SetHint(w, Qt::WindowTitleHint, true);
        SetHint(w, Qt::WindowSystemMenuHint, true);
        SetHint(w, Qt::WindowMinMaxButtonsHint, true);
        SetHint(w, Qt::WindowCloseButtonHint, true);
    }
    SetHint(w, Qt::WindowCloseButtonHint, enable);
    QObject* guard = w->findChild<QObject*>(kGuardName, Qt::FindDirectChildrenOnly);
    if (!enable && !guard) {
        guard = new CloseGuard(w);
        guard->setObjectName(kGuardName);
        w->installEventFilter(guard);
    } else if (enable && guard) {
        w->removeEventFilter(guard);
        delete guard;
    }
    return 0;
}

void SetTopMost(QWidget* w, bool on) {
    if (!w || !w->isWindow()) return;
    SetHint(w, Qt::WindowStaysOnTopHint, on);
}

}  // namespace tarvo::ui
