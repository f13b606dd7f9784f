#pragma once

#include "MapBuilder.h"

namespace testmap {

// A small map to try the program on: scripts of every type, globals of several value types,
// every kind of node the printers tell apart, and one node whose engine command is unknown.
MapSpec DemoMap();

}  // namespace testmap
