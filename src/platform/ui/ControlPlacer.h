#pragma once

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <QWidget>

#include <vector>

namespace platform {

// The window edges whose distance a control keeps when the window is resized.
enum Lock : unsigned {
    LockNone = 0,
    LockLeft = 1,
    LockTop = 2,
    LockRight = 4,
    LockBottom = 8,
};
using Locks = unsigned;
inline constexpr Locks LockLT = LockLeft | LockTop;

// Where a control designed at `design` in an area of `designSize` lies when the area has
// `size`: locked to both opposite edges it stretches, locked to the far edge only it moves,
// otherwise it stays.
QRect LockedRect(const QRect& design, Locks locks, QSize designSize, QSize size);

// Keeps the controls of an area at their designed places as the area is resized. Designed
// rectangles are relative to the area, also for a control whose parent is a widget inside it
// (a page, a group box), as the window designs give them.
class ControlPlacer : public QObject {
public:
    ControlPlacer(QWidget* area, QSize designSize);

    // Parents must be placed before their children.
    void Place(QWidget* control, const QRect& design, Locks locks);
    QSize DesignSize() const { return designSize_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Placement {
        QPointer<QWidget> control;
        QRect design;
        Locks locks;
    };

    void Reposition(const Placement& placement);

    QWidget* area_;
    QSize designSize_;
    std::vector<Placement> placements_;
};

}  // namespace platform
