#pragma once

#include <array>
#include <cstddef>
#include <string_view>

inline constexpr size_t kHardcodedCommandCount = 543;

// The game engine's command names built into the program: entry K is engine identity K.
const std::array<std::string_view, kHardcodedCommandCount>& HardcodedCommands();
