#pragma once

#include <QAbstractNativeEventFilter>

#include <cstdint>

namespace platform {

// On X11, a window manager's request to close a window that is at work (its close box) is
// taken as a close made by code, which the window carries out once its work is done. Qt drops
// such a request while a modal message blocks the window, as the message that ends a job does;
// requests for windows at rest go on to Qt unchanged.
class CloseRequests : public QAbstractNativeEventFilter {
public:
    // Watches the application's X11 connection, when it has one; otherwise does nothing.
    CloseRequests();
    ~CloseRequests() override;
    CloseRequests(const CloseRequests&) = delete;
    CloseRequests& operator=(const CloseRequests&) = delete;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    bool watching_ = false;
    uint32_t protocols_ = 0;
    uint32_t deleteWindow_ = 0;
};

}  // namespace platform
