#include "platform/FileIdentity.h"

#include <sys/stat.h>

namespace platform {

FileIdentity IdentityFromStatus(const struct stat& info) {
    return FileIdentity{
        static_cast<uint64_t>(info.st_dev),         static_cast<uint64_t>(info.st_ino),
        static_cast<int64_t>(info.st_size),         static_cast<int64_t>(info.st_mtim.tv_sec),
        static_cast<int64_t>(info.st_mtim.tv_nsec), static_cast<int64_t>(info.st_ctim.tv_sec),
        static_cast<int64_t>(info.st_ctim.tv_nsec)};
}

std::optional<FileIdentity> PathIdentity(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return std::nullopt;
    }
    return IdentityFromStatus(info);
}

}  // namespace platform
