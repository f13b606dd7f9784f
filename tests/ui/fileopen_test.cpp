#include <QAction>
#include <QDir>

#include "RecordMap.h"
#include "UiTestSupport.h"
#include "mainwindow/ui/MainWindow.h"
#include "platform/ui/NamedMenu.h"

namespace {

class FileOpenTest : public uitest::UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        window = MainWindow::Instance();
    }

    MainWindow* window = nullptr;
};

TEST_F(FileOpenTest, DialogStartsInTheMapFolderWhenItExists) {
    std::vector<platform::OpenFileRequest> requests;
    platform::SetOpenFileHook([&requests](const platform::OpenFileRequest& request) {
        requests.push_back(request);
        return QString();
    });
    const QString documents = QDir::homePath() + "/Documents";
    const std::string existing = TempPath("");
    for (const std::string& folder : {existing, TempPath("missing"), std::string()}) {
        Prefernces::MapFolder = folder;
        window->Fileopen()->Action()->trigger();
    }
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(requests[0].folder, platform::PathFromBytes(existing));
    EXPECT_EQ(requests[1].folder, documents);
    EXPECT_EQ(requests[2].folder, documents);
    EXPECT_EQ(requests[0].parent, window);
}

// Which maps are refused is the core's matter (mapreader_test.cpp); the window shows why and
// keeps what it showed, as it does when the dialog is cancelled. A path is shown as the file
// system names it (UTF-8 here).
TEST_F(FileOpenTest, OnlyAnAcceptedMapFillsTheListAndEnablesProtectMap) {
    testmap::MapSpec refused = uitest::SmallMap();
    refused.headerValue = 609;
    uitest::OpenThroughTheMenu(*window, "");
    uitest::OpenThroughTheMenu(*window, uitest::SaveMap(refused, TempPath("609.map")));
    uitest::OpenThroughTheMenu(*window, TempPath("absent_\xC3\xA9.map"));
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].text, "cant load |1|");
    EXPECT_EQ(shown[1].text.toStdString(),
              "The map file could not be opened for reading:\n" + TempPath("absent_\xC3\xA9.map"));
    EXPECT_TRUE(shown[1].text.endsWith(u"/absent_\u00E9.map")) << shown[1].text.toStdString();
    EXPECT_EQ(shown[0].buttons, QStringList{"OK"});
    const auto& list = *window->Controls().Lb_Select;
    EXPECT_FALSE(window->State().FileOpened);
    EXPECT_FALSE(list.isEnabled());
    EXPECT_FALSE(window->ScriptToolsProtectMap()->Enabled());

    const std::string path = uitest::SaveMap(uitest::SmallMap(), TempPath("a.map"));
    uitest::OpenThroughTheMenu(*window, path);
    EXPECT_EQ(shown.size(), 2u);
    EXPECT_EQ(list.topLevelItem(0)->childIndicatorPolicy(), QTreeWidgetItem::ShowIndicator);
    EXPECT_TRUE(window->ScriptToolsProtectMap()->Enabled());
    testmap::MapSpec unknown = uitest::SmallMap();
    unknown.kind = testmap::HeaderKind::Named;
    unknown.mapName = "z99";
    unknown.scripts = {{"other", 0, 4, -1}};
    uitest::OpenThroughTheMenu(*window, uitest::SaveMap(unknown, TempPath("z99.map")));
    uitest::OpenThroughTheMenu(*window, "");
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[2].text, "Cant load |2|");
    EXPECT_EQ(window->State().f, path);
    EXPECT_EQ(window->State().ScriptHeaderCache[0].Name, "intro");
    EXPECT_EQ(list.topLevelItemCount(), 2);
    EXPECT_TRUE(list.isEnabled());
}

}  // namespace
