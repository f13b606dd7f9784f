#include <gtest/gtest.h>

#include "mainwindow/ui/MainWindow.h"

TEST(MainWindowFrame, OneInstanceWithTheDesignedFrame) {
    MainWindow* window = MainWindow::Instance();
    EXPECT_EQ(window, MainWindow::Instance());
    EXPECT_EQ(window->windowTitle(), "Morvane");
    EXPECT_EQ(window->width(), 700);
    EXPECT_EQ(window->height(), 622);
    EXPECT_EQ(window->minimumSize(), QSize(700, 64));
    EXPECT_EQ(window->maximumSize(), QSize(700, 32000));
    EXPECT_FALSE(window->State().FileOpened);
    EXPECT_TRUE(window->State().ScriptHeaderCache.empty());
}
