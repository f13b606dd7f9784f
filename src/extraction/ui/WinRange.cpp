#include "extraction/ui/WinRange.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

#include <utility>

#include "extraction/Extraction.h"
#include "extraction/ExtractionText.h"
#include "extraction/ui/Extract.h"
#include "extraction/ui/MenuBar2.h"
#include "platform/Hooks.h"
#include "platform/Text.h"
#include "platform/ui/QtText.h"

using platform::LockBottom;
using platform::LockLeft;
using platform::LockLT;
using platform::LockRight;
using platform::LockTop;

namespace {

platform::SharedWindow<WinRange>& Slot() {
    static platform::SharedWindow<WinRange> slot;
    return slot;
}

// Fills a pop-up anew with the names of the entries from position `from` to the cache's last
// but `spare`, yielding once per row, and leaves no row chosen. The rows go in at once: one at
// a time, a pop-up of thousands of rows takes far longer to fill.
template <typename Record>
void Fill(QComboBox& popup, const std::vector<Record>& cache, int64_t from, int64_t spare) {
    QStringList names;
    for (int64_t i = from; i < static_cast<int64_t>(cache.size()) - spare; ++i) {
        names.append(platform::FromBytes(cache[static_cast<size_t>(i)].Name));
        platform::Yield();
    }
    popup.clear();
    popup.addItems(names);
    popup.setCurrentIndex(-1);
}

}  // namespace

WinRange* WinRange::Instance(std::shared_ptr<const MapState> map) {
    return Slot().Get([&map] { return new WinRange(std::move(map)); });
}

WinRange* WinRange::Existing() {
    return Slot().Existing();
}

WinRange::WinRange(std::shared_ptr<const MapState> map) : map_(std::move(map)) {
    setObjectName(QStringLiteral("WinRange"));
    Layout();
    CreateControls();
    AddMenuHandlers();
    Event_Open();
}

void WinRange::Layout() {
    SetMenuBar(&MenuBar2::Instance());
    platform::WindowDesign design;
    design.title = QStringLiteral("Extract Range");
    design.size = QSize(300, 143);
    design.resizable = false;
    ApplyDesign(design);
}

void WinRange::CreateControls() {
    _CreateControls0();
}

void WinRange::_CreateControls0() {
    WinRangeControls& c = controls_;
    auto label = [&](const char* name, int page, QRect rect, const char* caption,
                     bool multiLine = false) {
        auto* control = AddControl<QLabel>(c.BgkRnd->Page(page), name, rect, LockLT);
        control->setText(QString::fromLatin1(caption));
        control->setWordWrap(multiLine);
        control->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return control;
    };
    auto popup = [&](const char* name, int page, QRect rect) {
        return AddControl<platform::PopupMenu>(c.BgkRnd->Page(page), name, rect, LockLT);
    };
    auto button = [&](const char* name, int page, QRect rect) {
        auto* control = AddControl<QPushButton>(c.BgkRnd->Page(page), name, rect, LockLT);
        control->setText(QStringLiteral("Extract Range"));
        return control;
    };

    c.BgkRnd = AddControl<platform::PagePanel>(nullptr, "BgkRnd", {0, 0, 300, 143},
                                               LockLeft | LockTop | LockRight | LockBottom, 3);
    c.StaticText1 = label("StaticText1", 1, {13, 8, 267, 29},
                          "Please select a starting script and ending script for the range of "
                          "the extraction",
                          true);
    c.ScrStart = popup("ScrStart", 1, {97, 49, 183, 20});
    // A user's pick, also of the row already shown: filling the pop-up is no pick.
    connect(c.ScrStart, &QComboBox::activated, this, &WinRange::ScrStart_Change);
    c.StaticText2 = label("StaticText2", 1, {13, 49, 78, 20}, "Starting script");
    c.ScrEnd = popup("ScrEnd", 1, {97, 81, 183, 20});
    c.StaticText3 = label("StaticText3", 1, {13, 81, 78, 20}, "Ending script");
    c.ScrExtract = button("ScrExtract", 1, {190, 113, 90, 22});
    connect(c.ScrExtract, &QPushButton::clicked, this, &WinRange::ScrExtract_Action);
    c.StaticText4 = label("StaticText4", 2, {13, 8, 267, 29},
                          "Please select a starting global and ending global for the range of "
                          "the extraction",
                          true);
    c.GlbStart = popup("GlbStart", 2, {97, 49, 183, 20});
    connect(c.GlbStart, &QComboBox::activated, this, &WinRange::GlbStart_Change);
    c.StaticText5 = label("StaticText5", 2, {13, 49, 78, 20}, "Starting global");
    c.GlbEnd = popup("GlbEnd", 2, {97, 81, 183, 20});
    c.StaticText6 = label("StaticText6", 2, {13, 81, 78, 20}, "Ending global");
    c.GlbExtract = button("GlbExtract", 2, {190, 113, 90, 22});
    connect(c.GlbExtract, &QPushButton::clicked, this, &WinRange::GlbExtract_Action);
    c.StaticText7 = label("StaticText7", 0, {0, 0, 300, 137},
                          "This page is not meant to be seen. If you have reached it anyway, "
                          "please leave the program as it is: changing it can damage the maps "
                          "it writes to.",
                          true);
    c.StaticText8 = label("StaticText8", 0, {200, 72, 100, 20}, "The Morvane team");
}

void WinRange::AddMenuHandlers() {
    // None: File > Save does nothing here.
}

// Every handler that fills a pop-up or extracts yields, and holds the window while it does.
void WinRange::Event_Open() {
    const Job job(*this);
    Fill(*controls_.ScrStart, map_->ScriptHeaderCache, 0, 1);
    Fill(*controls_.GlbStart, map_->GlobalHeaderCache, 0, 1);
}

void WinRange::MapReplaced() {
    const Job job(*this);
    // Rows chosen for the previous map would name other entries of this one.
    controls_.ScrEnd->clear();
    controls_.GlbEnd->clear();
    Event_Open();
}

void WinRange::ScrStart_Change() {
    const Job job(*this);
    Fill(*controls_.ScrEnd, map_->ScriptHeaderCache,
         int64_t{controls_.ScrStart->currentIndex()} + 1, 0);
}

void WinRange::GlbStart_Change() {
    const Job job(*this);
    Fill(*controls_.GlbEnd, map_->GlobalHeaderCache,
         int64_t{controls_.GlbStart->currentIndex()} + 1, 0);
}

void WinRange::ScrExtract_Action() {
    const Job job(*this);
    const RangeText range = ExtractScriptRange(*map_, controls_.ScrStart->currentIndex(),
                                               controls_.ScrEnd->currentIndex());
    Finish(range.text, range.cut);
}

void WinRange::GlbExtract_Action() {
    const Job job(*this);
    const RangeText range = ExtractGlobalRange(*map_, controls_.GlbStart->currentIndex(),
                                               controls_.GlbEnd->currentIndex());
    Finish(range.text, range.cut);
}

void WinRange::Finish(const std::string& text, TextCut cut) {
    auto* output = new Extract();
    output->ScriptsSaved = text;
    output->AppendText(text);
    output->Show();
    std::string message = "done";
    if (cut != TextCut::None) {
        message += platform::EndOfLine;
        message += CutNotice(cut);
    }
    platform::MsgBox(message);
    close();
}
