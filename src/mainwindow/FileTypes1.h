#pragma once

#include <string>

// A kind of document file the open dialogs offer.
struct FileType {
    std::string Name;
    std::string Extensions;  // with the leading dot
};

namespace FileTypes1 {

// The map file type, the filter of File > Open.
const FileType& Map();

}  // namespace FileTypes1
