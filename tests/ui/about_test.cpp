#include <QLabel>

#include "UiTestSupport.h"
#include "mainwindow/ui/AboutWin.h"

namespace {

class AboutTest : public uitest::UiTest {};

TEST_F(AboutTest, FixedWindowWithTheCredits) {
    AboutWin* window = AboutWin::Instance();
    EXPECT_EQ(window, AboutWin::Instance());
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->minimumSize(), window->maximumSize());
    // The closing line lies on the credits, not beside them.
    uitest::ExpectDesign(*window, {{"StaticText2", "QLabel", "content", {327, 75, 173, 185}},
                                   {"Separator2", "QFrame", "StaticText2", {327, 256, 173, 4}}});
    auto* credits = window->Control<QLabel>("StaticText2");
    EXPECT_TRUE(credits->text().contains("Built with Qt"));
    // Wrapped, the credits fit their area.
    EXPECT_LE(credits->heightForWidth(credits->width()), credits->height());
}

}  // namespace
