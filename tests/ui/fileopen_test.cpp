#include <QAction>
#include <QDir>

#include "RecordMap.h"
#include "UiTestSupport.h"
#include "mainwindow/ui/MainWindow.h"
#include "platform/ui/NamedMenu.h"

namespace {

class FileOpenTest : public uitest::UiTest {
protected:
    QStringList Rows() const {
        QStringList rows;
        const auto& list = *window->Controls().Lb_Select;
        for (int i = 0; i < list.topLevelItemCount(); ++i) {
            rows.append(list.topLevelItem(i)->text(0));
        }
        return rows;
    }

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
    for (const auto& request : requests) {
        EXPECT_EQ(request.title, "Select a map file");
        EXPECT_EQ(request.filter, "Map (*.map)");
        EXPECT_EQ(request.parent, window);
    }
}

TEST_F(FileOpenTest, AcceptedMapFillsTheListAndEnablesProtectMap) {
    const std::string path = uitest::SaveMap(uitest::SmallMap(), TempPath("a.map"));
    uitest::OpenThroughTheMenu(*window, path);

    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(window->State().f, path);
    EXPECT_EQ(window->State().MapNames.size(), 11u);
    EXPECT_EQ(window->State().ScriptHeaderCache.size(), 2u);
    EXPECT_EQ(Rows(), (QStringList{"scripts", "globals"}));
    const auto& list = *window->Controls().Lb_Select;
    EXPECT_EQ(list.topLevelItem(0)->childIndicatorPolicy(), QTreeWidgetItem::ShowIndicator);
    EXPECT_TRUE(list.isEnabled());
    EXPECT_TRUE(window->ScriptToolsProtectMap()->Enabled());
}

TEST_F(FileOpenTest, CancelChangesNothing) {
    uitest::OpenThroughTheMenu(*window, "");
    EXPECT_FALSE(window->State().FileOpened);
    EXPECT_FALSE(window->Controls().Lb_Select->isEnabled());

    const std::string path = uitest::SaveMap(uitest::SmallMap(), TempPath("a.map"));
    uitest::OpenThroughTheMenu(*window, path);
    uitest::OpenThroughTheMenu(*window, "");
    EXPECT_EQ(window->State().f, path);
    EXPECT_EQ(window->State().ScriptHeaderCache.size(), 2u);
    EXPECT_EQ(Rows(), (QStringList{"scripts", "globals"}));
    EXPECT_TRUE(shown.empty());
}

// Which maps are refused is the core's matter (mapreader_test.cpp); the window shows why and
// keeps what it showed.
TEST_F(FileOpenTest, ARefusedOrUnreadableMapIsReportedAndChangesNothing) {
    testmap::MapSpec refused = uitest::SmallMap();
    refused.headerValue = 609;
    uitest::OpenThroughTheMenu(*window, uitest::SaveMap(refused, TempPath("609.map")));
    uitest::OpenThroughTheMenu(*window, TempPath("absent.map"));
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].text, "cant load |1|");
    EXPECT_EQ(shown[0].buttons, QStringList{"OK"});
    EXPECT_FALSE(window->State().FileOpened);
    EXPECT_FALSE(window->Controls().Lb_Select->isEnabled());
    EXPECT_FALSE(window->ScriptToolsProtectMap()->Enabled());

    const std::string path = uitest::SaveMap(uitest::SmallMap(), TempPath("a.map"));
    uitest::OpenThroughTheMenu(*window, path);
    testmap::MapSpec unknown = uitest::SmallMap();
    unknown.kind = testmap::HeaderKind::Named;
    unknown.mapName = "z99";
    unknown.scripts = {{"other", 0, 4, -1}};
    uitest::OpenThroughTheMenu(*window, uitest::SaveMap(unknown, TempPath("z99.map")));
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[2].text, "Cant load |2|");
    EXPECT_EQ(window->State().f, path);
    EXPECT_EQ(window->State().ScriptHeaderCache[0].Name, "intro");
    EXPECT_EQ(Rows(), (QStringList{"scripts", "globals"}));
    EXPECT_TRUE(window->Controls().Lb_Select->isEnabled());
}

}  // namespace
