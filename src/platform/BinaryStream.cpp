#include "platform/BinaryStream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace platform {

namespace {

constexpr int64_t kPageSize = 16 * 1024;

bool InsideFile(int64_t position, int64_t length) {
    return position >= 0 && position < length;
}

}  // namespace

std::unique_ptr<BinaryStream> BinaryStream::Open(const std::string& path, Mode mode,
                                                 OpenFailure* failure) {
    OpenFailure ignored{};
    OpenFailure& why = failure != nullptr ? *failure : ignored;
    why = OpenFailure::None;
    // Without O_NONBLOCK, opening a pipe waits for its other end, and a device may wait too.
    int flags = O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
    switch (mode) {
        case Mode::ReadOnly:
            flags |= O_RDONLY;
            break;
        case Mode::ReadWrite:
            flags |= O_RDWR;
            break;
        case Mode::Create:
            flags |= O_RDWR | O_CREAT | O_TRUNC;
            break;
    }
    int fd = ::open(path.c_str(), flags, 0644);
    if (fd < 0) {
        why = errno == EISDIR ? OpenFailure::NotRegularFile : OpenFailure::CannotOpen;
        return nullptr;
    }
    // Checked on the open descriptor, so that the file checked is the file read.
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        why = OpenFailure::CannotOpen;
        ::close(fd);
        return nullptr;
    }
    if (!S_ISREG(info.st_mode)) {
        why = OpenFailure::NotRegularFile;
        ::close(fd);
        return nullptr;
    }
    const int status = ::fcntl(fd, F_GETFL);
    if (status < 0 || ::fcntl(fd, F_SETFL, status & ~O_NONBLOCK) != 0) {
        why = OpenFailure::CannotOpen;
        ::close(fd);
        return nullptr;
    }
    return std::unique_ptr<BinaryStream>(
        new BinaryStream(fd, static_cast<int64_t>(info.st_size), mode != Mode::ReadOnly));
}

BinaryStream::BinaryStream(int fd, int64_t length, bool writable)
    : fd_(fd), length_(length), writable_(writable) {}

BinaryStream::~BinaryStream() {
    Close();
}

bool BinaryStream::Close() {
    if (fd_ < 0) {
        return !failed_;
    }
    if (::close(fd_) != 0) {
        failed_ = true;
    }
    fd_ = -1;
    return !failed_;
}

std::optional<FileIdentity> BinaryStream::Identity() const {
    struct stat info {};
    if (fd_ < 0 || ::fstat(fd_, &info) != 0) {
        return std::nullopt;
    }
    return IdentityFromStatus(info);
}

const BinaryStream::Page* BinaryStream::PageAt(int64_t position) {
    if (fd_ < 0 || !InsideFile(position, length_)) {
        return nullptr;
    }
    const int64_t start = position / kPageSize * kPageSize;
    if (pages_[lastHit_].start == start) {
        return &pages_[lastHit_];
    }
    for (int i = 0; i < kPageCount; ++i) {
        if (pages_[i].start == start) {
            lastHit_ = i;
            return &pages_[i];
        }
    }
    Page& page = pages_[nextVictim_];
    page.bytes.resize(kPageSize);
    const int64_t want = std::min<int64_t>(kPageSize, length_ - start);
    int64_t got = 0;
    while (got < want) {
        ssize_t n = ::pread(fd_, page.bytes.data() + got, static_cast<size_t>(want - got),
                            static_cast<off_t>(start + got));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        got += n;
    }
    if (got <= position - start) {
        page.start = -1;
        return nullptr;
    }
    page.start = start;
    page.size = got;
    lastHit_ = nextVictim_;
    nextVictim_ = (nextVictim_ + 1) % kPageCount;
    return &page;
}

int64_t BinaryStream::Fetch(int64_t position, int64_t count, uint8_t* out) {
    int64_t done = 0;
    while (done < count) {
        const int64_t at = position + done;
        const Page* page = PageAt(at);
        if (page == nullptr) {
            break;
        }
        const int64_t offset = at - page->start;
        const int64_t n = std::min(count - done, page->size - offset);
        std::memcpy(out + done, page->bytes.data() + offset, static_cast<size_t>(n));
        done += n;
    }
    return done;
}

void BinaryStream::ReadInto(uint8_t* out, int64_t count) {
    if (count <= 0) {
        return;
    }
    std::memset(out, 0, static_cast<size_t>(count));
    if (position_ >= 0) {
        Fetch(position_, count, out);
    } else if (position_ > -count) {
        // The range straddles the start of the file: the bytes inside it still count.
        const int64_t skip = -position_;
        Fetch(0, count - skip, out + skip);
    }
    position_ += count;
}

uint64_t BinaryStream::ReadUnsigned(int width) {
    uint8_t bytes[8];
    ReadInto(bytes, width);
    uint64_t value = 0;
    for (int i = 0; i < width; ++i) {
        int index = LittleEndian ? width - 1 - i : i;
        value = (value << 8) | bytes[index];
    }
    return value;
}

uint8_t BinaryStream::PeekByte() {
    uint8_t byte = 0;
    if (position_ >= 0) {
        Fetch(position_, 1, &byte);
    }
    return byte;
}

std::string BinaryStream::Read(int64_t count) {
    std::string out;
    if (count <= 0) {
        return out;
    }
    int64_t start = position_;
    position_ += count;
    if (start < 0) {
        count += start;
        start = 0;
        if (count <= 0) {
            return out;
        }
    }
    if (!InsideFile(start, length_)) {
        return out;
    }
    // Never size a buffer by the caller's count: only what the file holds.
    out.resize(static_cast<size_t>(std::min(count, length_ - start)));
    int64_t got =
        Fetch(start, static_cast<int64_t>(out.size()), reinterpret_cast<uint8_t*>(out.data()));
    out.resize(static_cast<size_t>(got));
    return out;
}

std::string BinaryStream::ReadUpToZero(int64_t position, int64_t skip, int64_t limit) {
    std::string text;
    position_ = position;
    if (position < 0) {
        return text;
    }
    const int64_t end = std::min(length_, position + limit);
    int64_t at = position;
    while (at < end) {
        const Page* page = PageAt(at);
        if (page == nullptr) {
            break;
        }
        const int64_t offset = at - page->start;
        const int64_t n = std::min(end - at, page->size - offset);
        const uint8_t* begin = page->bytes.data() + offset;
        // Bytes before `position + skip` are taken whatever they hold.
        const int64_t free = std::clamp<int64_t>(position + skip - at, 0, n);
        const void* zero = std::memchr(begin + free, 0, static_cast<size_t>(n - free));
        const int64_t take = zero != nullptr ? static_cast<const uint8_t*>(zero) - begin : n;
        text.append(reinterpret_cast<const char*>(begin), static_cast<size_t>(take));
        at += take;
        if (zero != nullptr) {
            break;
        }
    }
    position_ = at;
    return text;
}

std::string BinaryStream::ReadPString() {
    int64_t length = ReadUInt8();
    return Read(length);
}

void BinaryStream::Write(std::string_view bytes) {
    if (bytes.empty()) {
        return;
    }
    if (!writable_ || fd_ < 0 || position_ < 0) {
        failed_ = true;
        return;
    }
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::pwrite(fd_, bytes.data() + done, bytes.size() - done,
                             static_cast<off_t>(position_ + static_cast<int64_t>(done)));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            failed_ = true;
            break;
        }
        done += static_cast<size_t>(n);
    }
    const int64_t end = position_ + static_cast<int64_t>(done);
    // Keep the cached pages true to the file; a page that the write extends is read again.
    for (Page& page : pages_) {
        if (page.start < 0) {
            continue;
        }
        if (end > page.start + page.size && page.size < kPageSize &&
            position_ < page.start + kPageSize) {
            page.start = -1;
            continue;
        }
        const int64_t overlapStart = std::max(position_, page.start);
        const int64_t overlapEnd = std::min(end, page.start + page.size);
        if (overlapStart < overlapEnd) {
            std::memcpy(page.bytes.data() + (overlapStart - page.start),
                        bytes.data() + (overlapStart - position_),
                        static_cast<size_t>(overlapEnd - overlapStart));
        }
    }
    length_ = std::max(length_, end);
    position_ = end;
}

void BinaryStream::WriteUnsigned(uint64_t value, int width) {
    char bytes[8];
    for (int i = 0; i < width; ++i) {
        int index = LittleEndian ? i : width - 1 - i;
        bytes[index] = static_cast<char>((value >> (8 * i)) & 0xFF);
    }
    Write(std::string_view(bytes, static_cast<size_t>(width)));
}

bool BinaryStream::WritePString(std::string_view text) {
    if (text.size() > 255) {
        return false;
    }
    WriteUInt8(static_cast<uint8_t>(text.size()));
    Write(text);
    return true;
}

}  // namespace platform
