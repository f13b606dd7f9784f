#include "platform/ui/ControlPlacer.h"

#include <QEvent>

#include <algorithm>

namespace platform {

namespace {

// One axis: the start and length of a control along it.
void Follow(int& start, int& length, bool lockStart, bool lockEnd, int growth) {
    if (!lockEnd) {
        return;
    }
    if (lockStart) {
        length = std::max(0, length + growth);
    } else {
        start += growth;
    }
}

}  // namespace

QRect LockedRect(const QRect& design, Locks locks, QSize designSize, QSize size) {
    int left = design.left();
    int width = design.width();
    int top = design.top();
    int height = design.height();
    Follow(left, width, (locks & LockLeft) != 0, (locks & LockRight) != 0,
           size.width() - designSize.width());
    Follow(top, height, (locks & LockTop) != 0, (locks & LockBottom) != 0,
           size.height() - designSize.height());
    return QRect(left, top, width, height);
}

ControlPlacer::ControlPlacer(QWidget* area, QSize designSize)
    : QObject(area), area_(area), designSize_(designSize) {
    area_->installEventFilter(this);
}

void ControlPlacer::Place(QWidget* control, const QRect& design, Locks locks) {
    placements_.push_back({control, design, locks});
    Reposition(placements_.back());
}

bool ControlPlacer::eventFilter(QObject* watched, QEvent* event) {
    if (watched == area_ && event->type() == QEvent::Resize) {
        for (const Placement& placement : placements_) {
            Reposition(placement);
        }
    }
    return QObject::eventFilter(watched, event);
}

void ControlPlacer::Reposition(const Placement& placement) {
    QWidget* control = placement.control.data();
    if (control == nullptr) {
        return;
    }
    QRect rect = LockedRect(placement.design, placement.locks, designSize_, area_->size());
    QWidget* parent = control->parentWidget();
    if (parent != area_) {
        rect.translate(-parent->mapTo(area_, QPoint(0, 0)));
    }
    control->setGeometry(rect);
}

}  // namespace platform
