#include <gtest/gtest.h>

#include "mainwindow/ui/App.h"

namespace {

QtMessageHandler standardHandler = nullptr;

// The offscreen platform cannot raise windows and says so each time a window is brought forward.
void QuietMessages(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.contains("does not support raise()")) {
        return;
    }
    standardHandler(type, context, message);
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    standardHandler = qInstallMessageHandler(QuietMessages);
    App app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
