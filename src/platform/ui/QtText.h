#pragma once

#include <QString>

#include <string>

#include "platform/Hooks.h"

namespace platform {

// The core's texts are bytes. Latin-1 maps every byte to one character and back, so a text
// shown in a control and read back is the same bytes, whatever they are.
QString FromBytes(const std::string& bytes);
std::string ToBytes(const QString& text);

// File paths are bytes as the file system names them; shown decoded so a user reads them.
QString PathFromBytes(const std::string& bytes);
std::string PathToBytes(const QString& path);

// A message as the user reads it: its texts as Latin-1, its paths decoded as file names.
QString FromMessage(const Message& message);

}  // namespace platform
