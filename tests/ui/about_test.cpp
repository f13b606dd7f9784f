#include <QFrame>
#include <QLabel>

#include "UiTestSupport.h"
#include "mainwindow/ui/AboutWin.h"

namespace {

class AboutTest : public uitest::UiTest {};

TEST_F(AboutTest, FixedWindowWithTheCredits) {
    AboutWin* window = AboutWin::Instance();
    EXPECT_EQ(window, AboutWin::Instance());
    EXPECT_EQ(window->windowTitle(), "About");
    EXPECT_EQ(window->size(), QSize(500, 325));
    EXPECT_EQ(window->minimumSize(), window->maximumSize());
    EXPECT_FALSE(window->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(window->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_TRUE(window->isVisible());

    uitest::ExpectDesign(*window,
                         {{"Canvas1", "QWidget", "content", {0, 0, 325, 325}},
                          {"StaticText1", "QLabel", "content", {327, 43, 173, 20}, "Credits"},
                          {"Separator1", "QFrame", "content", {327, 65, 173, 4}},
                          {"StaticText2", "QLabel", "content", {327, 75, 173, 185}},
                          {"Separator2", "QFrame", "StaticText2", {327, 256, 173, 4}}});
    auto* credits = window->Control<QLabel>("StaticText2");
    EXPECT_TRUE(credits->text().contains("Built with Qt"));
    EXPECT_TRUE(credits->alignment() & Qt::AlignHCenter);
    EXPECT_EQ(window->Control<QFrame>("Separator1")->frameShape(), QFrame::HLine);
    // The credits fit their area.
    EXPECT_LE(credits->heightForWidth(credits->width()), credits->height());
}

}  // namespace
