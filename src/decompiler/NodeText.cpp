#include "decompiler/NodeText.h"

#include "mapfile/MapText.h"
#include "platform/BinaryStream.h"
#include "platform/Hooks.h"

namespace decompiler {

std::string MapTextReader::Read(const std::optional<std::string>& mapPath, int32_t textOffset) {
    if (!mapPath) {
        return {};
    }
    if (path_ != mapPath) {
        path_ = mapPath;
        stream_ = platform::BinaryStream::Open(*mapPath, platform::BinaryStream::Mode::ReadOnly);
    }
    if (!stream_) {
        return {};
    }
    return mapformat::ReadText(*stream_, textOffset);
}

void ShowStyleNotImplemented() {
    platform::MsgBox("This extraction type is not implimented yet, in fact i am" +
                     std::string(platform::EndOfLine) +
                     "positive you cant to this msgbox without modifing certian parts of my "
                     "application.");
}

}  // namespace decompiler
