#include "mainwindow/ui/MainWindow.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScopedValueRollback>

#include "decompiler/TypeNames.h"
#include "extraction/CommandDatabase.h"
#include "extraction/ui/Extract.h"
#include "extraction/ui/ThreadExtractAll.h"
#include "extraction/ui/WinRange.h"
#include "mainwindow/FileTypes1.h"
#include "mainwindow/ui/AboutWin.h"
#include "mainwindow/ui/MenuBar1.h"
#include "mainwindow/ui/ScriptTextField.h"
#include "mapfile/MapReader.h"
#include "platform/Text.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/KeyDown.h"
#include "platform/ui/NamedMenu.h"
#include "platform/ui/QtText.h"
#include "preferences/Prefernces.h"
#include "preferences/ui/PrefWin.h"

using platform::LockBottom;
using platform::LockLeft;
using platform::LockLT;
using platform::LockNone;
using platform::LockRight;
using platform::Locks;
using platform::LockTop;

namespace {

constexpr int kNoPage = -1;
constexpr int kPageCount = 4;

template <size_t N>
QStringList ItemList(const std::array<std::string_view, N>& names) {
    QStringList items;
    for (std::string_view name : names) {
        items.append(QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())));
    }
    return items;
}

platform::SharedWindow<MainWindow>& Slot() {
    static platform::SharedWindow<MainWindow> slot;
    return slot;
}

}  // namespace

MainWindow* MainWindow::Instance() {
    return Slot().Get([] { return new MainWindow(); });
}

MainWindow* MainWindow::Existing() {
    return Slot().Existing();
}

MainWindow::MainWindow() {
    setObjectName(QStringLiteral("MainWindow"));
    Layout();
    CreateControls();
    AddMenuHandlers();
    BindEvents();
    Event_Open();
}

void MainWindow::Layout() {
    SetMenuBar(&MenuBar1::Instance());
    platform::WindowDesign design;
    design.title = QStringLiteral("Morvane");
    design.size = QSize(700, 622);
    design.minimum = QSize(700, 64);
    design.maximum = QSize(700, 32000);
    ApplyDesign(design);
}

void MainWindow::CreateControls() {
    _CreateControls0();
}

void MainWindow::_CreateControls0() {
    MainWindowControls& c = controls_;
    auto on = [&c](int page) -> QWidget* {
        return page == kNoPage ? nullptr : c.PageEditor->Page(page);
    };
    auto label = [&](const char* name, int page, QRect rect, const char* caption,
                     Locks locks = LockLT) {
        auto* control = AddControl<QLabel>(on(page), name, rect, locks);
        control->setText(QString::fromLatin1(caption));
        return control;
    };
    auto field = [&](const char* name, int page, QRect rect) {
        return AddControl<QLineEdit>(on(page), name, rect, LockLT);
    };
    auto popup = [&](const char* name, int page, QRect rect, const QStringList& items) {
        auto* control = AddControl<platform::PopupMenu>(on(page), name, rect, LockLT);
        control->addItems(items);
        control->setCurrentIndex(-1);
        return control;
    };
    // Without a horizontal scroll bar long lines wrap.
    auto multiLine = [&](const char* name, int page, QRect rect, Locks locks, bool horizontalBar) {
        auto* control = AddControl<QPlainTextEdit>(on(page), name, rect, locks);
        control->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        control->setHorizontalScrollBarPolicy(horizontalBar ? Qt::ScrollBarAlwaysOn
                                                            : Qt::ScrollBarAlwaysOff);
        control->setLineWrapMode(horizontalBar ? QPlainTextEdit::NoWrap
                                               : QPlainTextEdit::WidgetWidth);
        control->setTabChangesFocus(true);
        return control;
    };
    const QStringList scriptTypes = ItemList(ScriptTypeNames);
    const QStringList valueTypes = ItemList(ValueTypeNames);

    c.Lb_Select = AddControl<platform::HierarchicalList>(
        nullptr, "Lb_Select", {0, 0, 364, 622}, LockLeft | LockTop | LockRight | LockBottom);
    c.Lb_Select->setEnabled(false);
    c.PageEditor = AddControl<platform::PagePanel>(nullptr, "PageEditor", {376, 0, 324, 593},
                                                   LockTop | LockRight | LockBottom, kPageCount);
    c.StaticText3 = label("StaticText3", 1, {382, 73, 104, 20}, "Script Return Type");
    c.StaticText4 = label("StaticText4", 1, {382, 105, 104, 20}, "Expression Pointer");
    c.FldScriptExpPointer = field("FldScriptExpPointer", 1, {498, 103, 65, 22});
    c.PopScriptType = popup("PopScriptType", 1, {498, 41, 140, 20}, scriptTypes);
    c.StaticText8 = label("StaticText8", 2, {382, 75, 104, 20}, "Expression Pointer");
    c.PopScriptReturn = popup("PopScriptReturn", 1, {498, 72, 140, 20}, valueTypes);
    c.FldGlobalExpPointer = field("FldGlobalExpPointer", 2, {498, 73, 65, 22});
    c.FldGlobalName = field("FldGlobalName", 2, {498, 7, 182, 22});
    c.PopGlobalType = popup("PopGlobalType", 2, {498, 40, 140, 20}, valueTypes);
    c.FldSyntaxEngineIdent = field("FldSyntaxEngineIdent", 3, {498, 41, 46, 22});
    c.FldSyntaxExpIdent = field("FldSyntaxExpIdent", 3, {498, 6, 65, 22});
    c.StaticText12 = label("StaticText12", 3, {382, 43, 104, 20}, "Engine Identity");
    c.PopSyntaxType = popup("PopSyntaxType", 3, {498, 75, 140, 20}, valueTypes);
    c.StaticText13 = label("StaticText13", 3, {382, 76, 104, 20}, "Value Type");
    c.FldSyntaxExpType = field("FldSyntaxExpType", 3, {498, 108, 46, 22});
    c.StaticText14 = label("StaticText14", 3, {382, 109, 104, 20}, "Expression Type");
    c.StaticText1 = label("StaticText1", 1, {382, 7, 104, 20}, "Script Name");
    c.StaticText5 = label("StaticText5", 2, {382, 9, 104, 20}, "Global Name");
    c.StaticText11 = label("StaticText11", 3, {382, 8, 104, 20}, "Expression Identity");
    c.FldGlobalDecomp = multiLine("FldGlobalDecomp", 2, {382, 107, 298, 66}, LockTop, false);
    c.FldSyntaxSibExp = field("FldSyntaxSibExp", 3, {499, 141, 65, 22});
    c.StaticText15 = label("StaticText15", 3, {382, 142, 104, 20}, "Sibling Expression");
    c.StaticText6 = label("StaticText6", 2, {382, 41, 104, 20}, "Global Type");
    c.StaticText22 = label("StaticText22", 1, {382, 42, 104, 20}, "Script Type");
    c.FldScriptName = field("FldScriptName", 1, {498, 8, 182, 22});
    c.FldScriptDeComp = multiLine("FldScriptDeComp", 1, {382, 137, 298, 449},
                                  LockTop | LockRight | LockBottom, true);
    c.FldSyntaxScriptTableOffset = field("FldSyntaxScriptTableOffset", 3, {499, 174, 65, 22});
    c.FldSyntaxScriptValue = field("FldSyntaxScriptValue", 3, {499, 201, 46, 22});
    c.FldSyntaxKidExp = field("FldSyntaxKidExp", 3, {499, 234, 65, 22});
    c.StaticText20 = label("StaticText20", 3, {383, 175, 104, 20}, "Script Table Offset");
    c.StaticText16 = label("StaticText16", 3, {383, 205, 104, 20}, "Script Value");
    c.StaticText24 = label("StaticText24", 3, {383, 237, 104, 20}, "Child Expression");
    c.FldSyntaxCommand =
        multiLine("FldSyntaxCommand", 3, {382, 269, 298, 66}, LockTop | LockRight, true);
    c.StaticTimeStamp = label("StaticTimeStamp", kNoPage, {376, 598, 318, 20}, "", LockNone);
    c.StaticTimeStamp->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    c.FldSyntaxEngineCommand = field("FldSyntaxEngineCommand", 3, {557, 41, 123, 22});
    c.FldSyntaxEngineCommand->setToolTip(QStringLiteral("Result of the Command Database"));
}

void MainWindow::BindEvents() {
    const MainWindowControls& c = controls_;
    connect(c.Lb_Select, &QTreeWidget::itemSelectionChanged, this, [this] { Lb_Select_Change(); });
    connect(c.Lb_Select, &QTreeWidget::itemExpanded, this,
            [this](QTreeWidgetItem* row) { Lb_Select_ExpandRow(row); });
    connect(c.Lb_Select, &QTreeWidget::itemCollapsed, this,
            [this](QTreeWidgetItem* row) { Lb_Select_CollapseRow(row); });

    auto keyDown = [this](QLineEdit* field, bool (MainWindow::*handler)(int)) {
        platform::OnKeyDown(field, [this, handler](int key) { return (this->*handler)(key); });
    };
    keyDown(c.FldScriptName, &MainWindow::FldScriptName_KeyDown);
    keyDown(c.FldScriptExpPointer, &MainWindow::FldScriptExpPointer_KeyDown);
    keyDown(c.FldGlobalName, &MainWindow::FldGlobalName_KeyDown);
    keyDown(c.FldGlobalExpPointer, &MainWindow::FldGlobalExpPointer_KeyDown);
    keyDown(c.FldSyntaxExpIdent, &MainWindow::FldSyntaxExpIdent_KeyDown);
    keyDown(c.FldSyntaxEngineIdent, &MainWindow::FldSyntaxEngineIdent_KeyDown);
    keyDown(c.FldSyntaxExpType, &MainWindow::FldSyntaxExpType_KeyDown);
    keyDown(c.FldSyntaxSibExp, &MainWindow::FldSyntaxSibExp_KeyDown);
    keyDown(c.FldSyntaxScriptTableOffset, &MainWindow::FldSyntaxScriptTableOffset_KeyDown);
    keyDown(c.FldSyntaxScriptValue, &MainWindow::FldSyntaxScriptValue_KeyDown);
    keyDown(c.FldSyntaxKidExp, &MainWindow::FldSyntaxKidExp_KeyDown);
    keyDown(c.FldSyntaxEngineCommand, &MainWindow::FldSyntaxEngineCommand_KeyDown);

    // Also raised when a page sets the selection.
    auto change = [this](QComboBox* popup, void (MainWindow::*handler)()) {
        connect(popup, &QComboBox::currentIndexChanged, this,
                [this, handler] { (this->*handler)(); });
    };
    change(c.PopScriptType, &MainWindow::PopScriptType_Change);
    change(c.PopScriptReturn, &MainWindow::PopScriptReturn_Change);
    change(c.PopGlobalType, &MainWindow::PopGlobalType_Change);
    change(c.PopSyntaxType, &MainWindow::PopSyntaxType_Change);
}

void MainWindow::AddMenuHandlers() {
    _AddMenuHandler("Fileopen", [this] { return _Fileopen_Action(); });
    _AddMenuHandler("ScriptToolsProtectMap", [this] { return _ScriptToolsProtectMap_Action(); });
    _AddMenuHandler("FilePrefernces", [this] { return _FilePrefernces_Action(); });
    _AddMenuHandler("AboutMenu", [this] { return _AboutMenu_Action(); });
    _AddMenuHandler("Extractall", [this] { return _Extractall_Action(); });
    _AddMenuHandler("ExtractScriptRange", [this] { return _ExtractScriptRange_Action(); });
    _AddMenuHandler("ExtractGlobalRange", [this] { return _ExtractGlobalRange_Action(); });
    _AddMenuHandler("ScriptToolsdatabase", [this] { return _ScriptToolsdatabase_Action(); });
}

void MainWindow::Event_Open() {
    // The map tools work on the open map; with none they would act on an empty state.
    for (platform::MenuItem* item : {ScriptToolsProtectMap(), ScriptToolsdatabase(), Extractall(),
                                     ExtractGlobalRange(), ExtractScriptRange()}) {
        item->SetEnabled(false);
    }
}

void MainWindow::Event_EnableMenuItems() {
    if (!state_.FileOpened) {
        return;
    }
    for (platform::MenuItem* item : {ScriptToolsProtectMap(), ScriptToolsdatabase(), Extractall(),
                                     ExtractGlobalRange(), ExtractScriptRange()}) {
        item->SetEnabled(true);
    }
}

bool MainWindow::_Fileopen_Action() {
    if (Busy()) {
        return false;
    }
    const Job job(*this);
    // Set before the dialog: nothing may start a second load, or act on the state, until
    // this one is over.
    const QScopedValueRollback<bool> loading(loading_, true);
    const QString mapFolder = platform::PathFromBytes(Prefernces::MapFolder);
    const QString start = !mapFolder.isEmpty() && QFileInfo(mapFolder).isDir()
                              ? mapFolder
                              : QDir::homePath() + QStringLiteral("/Documents");
    const FileType& type = FileTypes1::Map();
    const QString filter = platform::FromBytes(type.Name) + QStringLiteral(" (*") +
                           platform::FromBytes(type.Extensions) + QStringLiteral(")");
    const QString chosen =
        platform::ChooseFile({this, QStringLiteral("Select a map file"), start, filter});
    if (chosen.isEmpty()) {
        return false;
    }
    const LoadOutcome outcome = OpenMap(state_, platform::PathToBytes(chosen));
    if (outcome.result == LoadResult::Loaded) {
        ShowLoadedMap(outcome.folderRows);
    }
    return false;
}

void MainWindow::ShowLoadedMap(const std::vector<std::string>& folderRows) {
    controls_.Lb_Select->DeleteAllRows();
    for (const std::string& row : folderRows) {
        controls_.Lb_Select->AddFolder(platform::FromBytes(row));
    }
    controls_.Lb_Select->setEnabled(true);
    // The load forgot the shown records: no page may go on showing the previous map's.
    controls_.PageEditor->SetValue(0);
    Event_EnableMenuItems();
    if (range_ != nullptr && range_->IsOpen()) {
        range_->MapReplaced();
    }
}

bool MainWindow::_FilePrefernces_Action() {
    PrefWin::Instance()->Show();
    return false;
}

bool MainWindow::_Extractall_Action() {
    // A run copies the state it prints; a load under way has only part of it.
    if (!Busy()) {
        ThreadExtractAll::Start(state_);
    }
    return false;
}

bool MainWindow::_ExtractScriptRange_Action() {
    ShowRangeWindow(1);
    return false;
}

bool MainWindow::_ExtractGlobalRange_Action() {
    ShowRangeWindow(2);
    return false;
}

void MainWindow::ShowRangeWindow(int page) {
    range_ = WinRange::Instance(map_);
    range_->Show();
    range_->Controls().BgkRnd->SetValue(page);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    platform::DesignWindow::closeEvent(event);
    // It lists and prints this window's map, which goes with this window.
    if (event->isAccepted() && range_ != nullptr) {
        range_->close();
    }
}

bool MainWindow::_ScriptToolsdatabase_Action() {
    if (Busy()) {
        return false;
    }
    const Job job(*this);
    auto* output = new Extract();
    const Job filling(*output);
    const int64_t start = platform::Ticks();
    CommandListing listing;
    {
        // The lines reach the field a batch at a time, as the script page's text does.
        ScriptTextField field(*output->FldExtract);
        listing = BuildCommandDatabase(state_.SyntaxCache, &field);
    }
    output->ScriptsSaved = listing.text;
    const int64_t ticks = platform::Ticks() - start;
    output->setWindowTitle(QStringLiteral("Map Script command DataBase"));
    output->Show();
    platform::MsgBox(CommandDatabaseSummary(listing, ticks));
    return false;
}

bool MainWindow::_AboutMenu_Action() {
    AboutWin::Instance()->Show();
    return false;
}
