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

    struct Row {
        const char* name;
        const char* kind;
        QRect rect;
    };
    for (const Row& row : {Row{"Canvas1", "QWidget", {0, 0, 325, 325}},
                           Row{"StaticText1", "QLabel", {327, 43, 173, 20}},
                           Row{"Separator1", "QFrame", {327, 65, 173, 4}},
                           Row{"StaticText2", "QLabel", {327, 75, 173, 185}},
                           Row{"Separator2", "QFrame", {327, 256, 173, 4}}}) {
        SCOPED_TRACE(row.name);
        auto* control = window->Control<QWidget>(row.name);
        ASSERT_NE(control, nullptr);
        EXPECT_TRUE(control->inherits(row.kind));
        EXPECT_EQ(QRect(control->mapTo(window->Content(), QPoint(0, 0)), control->size()),
                  row.rect);
        EXPECT_TRUE(control->toolTip().isEmpty());
    }
    EXPECT_EQ(window->Control<QLabel>("StaticText1")->text(), "Credits");
    auto* credits = window->Control<QLabel>("StaticText2");
    EXPECT_TRUE(credits->text().contains("Built with Qt"));
    EXPECT_TRUE(credits->alignment() & Qt::AlignHCenter);
    EXPECT_EQ(window->Control<QFrame>("Separator2")->parentWidget(), credits);
    EXPECT_EQ(window->Control<QFrame>("Separator1")->frameShape(), QFrame::HLine);
    // The credits fit their area.
    EXPECT_LE(credits->heightForWidth(credits->width()), credits->height());
}

}  // namespace
