#pragma once

#include <QWidget>

#include "mapfile/MapState.h"

// The single document window: it holds the open map's state and shows its records.
class MainWindow : public QWidget {
    Q_OBJECT

public:
    // The shared instance, created on first use.
    static MainWindow* Instance();

    MapState& State() { return state_; }

private:
    MainWindow();
    void Layout();

    MapState state_;
};
