#include "mainwindow/FileTypes1.h"

namespace FileTypes1 {

const FileType& Map() {
    static const FileType map{"Map", ".map"};
    return map;
}

}  // namespace FileTypes1
