#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FileIdentity.h"

namespace platform {

// A file opened as a stream of bytes at absolute 64-bit positions.
//
// Reads never fail and never leave the file: integer reads outside it give 0 for the missing
// bytes, and Read(count) returns only the bytes that lie inside it. Reads go through a buffer,
// so reading a table field by field costs no system call per field. Writes go straight to the
// file; a failed write is remembered (Failed()) and reported by Close().
class BinaryStream {
public:
    enum class Mode { ReadOnly, ReadWrite, Create };
    // Why Open gave no stream.
    enum class OpenFailure { None, CannotOpen, NotRegularFile };

    // Returns null when the file cannot be opened in that mode, or is no regular file (a folder,
    // a pipe, a device), and then sets `failure` when given. Never waits for a pipe's other end.
    // Create truncates or creates.
    static std::unique_ptr<BinaryStream> Open(const std::string& path, Mode mode,
                                              OpenFailure* failure = nullptr);

    ~BinaryStream();
    BinaryStream(const BinaryStream&) = delete;
    BinaryStream& operator=(const BinaryStream&) = delete;

    // Byte order of multi-byte values; big-endian until switched.
    bool LittleEndian = false;

    int64_t Position() const { return position_; }
    void SetPosition(int64_t position) { position_ = position; }
    int64_t Length() const { return length_; }
    // The open file as it is now; nullopt once closed.
    std::optional<FileIdentity> Identity() const;

    std::string Read(int64_t count);
    // Copies `count` bytes from the position into `out` and moves past them; bytes outside the
    // file read as zeros.
    void ReadInto(uint8_t* out, int64_t count);
    // Looks at the byte at the position without moving; 0 outside the file.
    uint8_t PeekByte();
    // The bytes from `position` up to, not including, the first zero byte at or after
    // `position + skip`; at most `limit` bytes, and none past the end of the file. Moves the
    // position past the bytes taken.
    std::string ReadUpToZero(int64_t position, int64_t skip, int64_t limit);

    int8_t ReadInt8() { return static_cast<int8_t>(ReadUnsigned(1)); }
    uint8_t ReadUInt8() { return static_cast<uint8_t>(ReadUnsigned(1)); }
    int16_t ReadInt16() { return static_cast<int16_t>(ReadUnsigned(2)); }
    uint16_t ReadUInt16() { return static_cast<uint16_t>(ReadUnsigned(2)); }
    int32_t ReadInt32() { return static_cast<int32_t>(ReadUnsigned(4)); }
    uint32_t ReadUInt32() { return static_cast<uint32_t>(ReadUnsigned(4)); }
    bool ReadBoolean() { return ReadUInt8() != 0; }
    // A text prefixed by its length in one byte.
    std::string ReadPString();

    void WriteInt8(int8_t v) { WriteUnsigned(static_cast<uint8_t>(v), 1); }
    void WriteUInt8(uint8_t v) { WriteUnsigned(v, 1); }
    void WriteInt16(int16_t v) { WriteUnsigned(static_cast<uint16_t>(v), 2); }
    void WriteUInt16(uint16_t v) { WriteUnsigned(v, 2); }
    void WriteInt32(int32_t v) { WriteUnsigned(static_cast<uint32_t>(v), 4); }
    void WriteUInt32(uint32_t v) { WriteUnsigned(v, 4); }
    void WriteBoolean(bool v) { WriteUInt8(v ? 1 : 0); }
    void Write(std::string_view bytes);
    // Writes the length in one byte and then the bytes; false (nothing written) past 255 bytes.
    bool WritePString(std::string_view text);

    // True once a write has failed or was refused (negative position, read-only stream).
    bool Failed() const { return failed_; }
    // Closes the file; false when any write failed or the file could not be closed cleanly.
    bool Close();

private:
    BinaryStream(int fd, int64_t length, bool writable);
    uint64_t ReadUnsigned(int width);
    void WriteUnsigned(uint64_t value, int width);
    // Copies the bytes of [position, position + count) that lie inside the file into out, and
    // returns how many leading bytes of the range lie inside.
    int64_t Fetch(int64_t position, int64_t count, uint8_t* out);
    // The cached page that holds `position`, reading it when needed; null outside the file.
    struct Page;
    const Page* PageAt(int64_t position);

    int fd_ = -1;
    int64_t length_ = 0;
    int64_t position_ = 0;
    bool writable_ = false;
    bool failed_ = false;
    // A few aligned pages stay cached, so that reading records in one place and their texts in
    // another does not read the same bytes again and again.
    struct Page {
        int64_t start = -1;
        int64_t size = 0;
        std::vector<uint8_t> bytes;
    };
    static constexpr int kPageCount = 8;
    Page pages_[kPageCount];
    int nextVictim_ = 0;
    int lastHit_ = 0;
};

}  // namespace platform
