#pragma once

#include <memory>

#include "extraction/ExtractionText.h"
#include "platform/ui/Controls.h"
#include "platform/ui/DesignWindow.h"

struct MapState;

class QComboBox;
class QLabel;
class QPushButton;

// The Extract Range window's controls, by their names, in the order they are made.
struct WinRangeControls {
    platform::PagePanel* BgkRnd;
    QLabel* StaticText1;
    QComboBox* ScrStart;
    QLabel* StaticText2;
    QComboBox* ScrEnd;
    QLabel* StaticText3;
    QPushButton* ScrExtract;
    QLabel* StaticText4;
    QComboBox* GlbStart;
    QLabel* StaticText5;
    QComboBox* GlbEnd;
    QLabel* StaticText6;
    QPushButton* GlbExtract;
    QLabel* StaticText7;
    QLabel* StaticText8;
};

// "Extract Range": the user picks a first and a last script (page 1) or global (page 2) of a
// map and extracts that run into a new output window. The rows stand for cache positions: start
// row i is entry i (every entry but the last), end row r is entry s + 1 + r after start s. A new
// window shows no row chosen, and a new start shows no end chosen, until the user picks one.
//
// The window works on the map of the window that opens it, which tells it when another map has
// replaced it. It shares that map, so that an extraction under way keeps it when the other
// window closes.
class WinRange : public platform::DesignWindow {
    Q_OBJECT

public:
    // The open window; a new one over `map`, filled from its caches, when none is open.
    static WinRange* Instance(std::shared_ptr<const MapState> map);
    // The open window, or null; creates none.
    static WinRange* Existing();

    const WinRangeControls& Controls() const { return controls_; }

    // Another map has been read into the map: both start pop-ups list its entries, both end
    // pop-ups are empty and no row is chosen; the page shown stays.
    void MapReplaced();

    // Refill the end pop-up of their page with the entries after the chosen start.
    void ScrStart_Change();
    void GlbStart_Change();
    // Extract the chosen run into a new output window, say "done" and close this window.
    void ScrExtract_Action();
    void GlbExtract_Action();

private:
    explicit WinRange(std::shared_ptr<const MapState> map);
    void Layout();
    void CreateControls();
    void _CreateControls0();
    void AddMenuHandlers();
    void Event_Open();

    // Shows the text in a new output window, says "done", then closes this window.
    void Finish(const std::string& text, TextCut cut);

    const std::shared_ptr<const MapState> map_;
    WinRangeControls controls_{};
};
