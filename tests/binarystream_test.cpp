#include <gtest/gtest.h>

#include <fstream>

#include "MapBuilder.h"
#include "TempDir.h"
#include "platform/BinaryStream.h"

using platform::BinaryStream;

namespace {

class BinaryStreamTest : public ::testing::Test {
protected:
    std::string WriteFile(const std::string& bytes) {
        const std::string path = dir.File("data.bin");
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

    std::string FileBytes() { return testmap::ReadFileText(dir.File("data.bin")); }

    testmap::TempDir dir;
};

TEST_F(BinaryStreamTest, ReadsBothByteOrdersAndZerosOutsideTheFile) {
    auto stream = BinaryStream::Open(WriteFile("\x01\x02\x03\x04\xFF\xFF\x01\xFF"),
                                     BinaryStream::Mode::ReadOnly);
    ASSERT_TRUE(stream);
    EXPECT_EQ(stream->ReadInt32(), 0x01020304);  // big-endian until switched
    stream->LittleEndian = true;
    stream->SetPosition(0);
    EXPECT_EQ(stream->ReadUInt32(), 0x04030201u);
    EXPECT_EQ(stream->ReadInt16(), -1);
    EXPECT_EQ(stream->ReadInt16(), -255);
    stream->SetPosition(4);
    EXPECT_EQ(stream->ReadUInt16(), 0xFFFFu);
    EXPECT_EQ(stream->ReadInt8(), 1);
    EXPECT_EQ(stream->ReadUInt8(), 0xFFu);

    stream->SetPosition(7);
    EXPECT_EQ(stream->ReadInt32(), 0xFF);  // one byte inside, three past the end
    stream->SetPosition(-1);
    EXPECT_EQ(stream->ReadUInt16(), 0x0100u);  // straddles the start
    stream->SetPosition(-100);
    EXPECT_EQ(stream->ReadInt32(), 0);
    stream->SetPosition(int64_t{1} << 40);
    EXPECT_EQ(stream->ReadInt32(), 0);
    EXPECT_EQ(stream->Read(1000), "");
    stream->SetPosition(-1);
    EXPECT_EQ(stream->Read(2), "\x01");
    stream->SetPosition(6);
    EXPECT_EQ(stream->Read(int64_t{1} << 40), "\x01\xFF");  // never sized by the count
    EXPECT_EQ(stream->Position(), 6 + (int64_t{1} << 40));
}

TEST_F(BinaryStreamTest, ReadUpToZeroStopsAtZeroLimitOrEndOfFile) {
    std::string bytes(200000, 'x');
    bytes[0] = '\0';
    bytes[150000] = '\0';
    auto stream = BinaryStream::Open(WriteFile(bytes), BinaryStream::Mode::ReadOnly);
    EXPECT_EQ(stream->ReadUpToZero(0, 0, 100), "");
    EXPECT_EQ(stream->ReadUpToZero(0, 1, 1000000).size(), 150000u);  // across many pages
    EXPECT_EQ(stream->Position(), 150000);
    EXPECT_EQ(stream->ReadUpToZero(10, 0, 1000).size(), 1000u);
    EXPECT_EQ(stream->ReadUpToZero(150001, 0, 1000000).size(), 49999u);  // end of the file
    EXPECT_EQ(stream->ReadUpToZero(-5, 1, 100), "");
}

TEST_F(BinaryStreamTest, WritesLandInTheFileAndInLaterReads) {
    const std::string path = WriteFile(std::string(8, '\0'));
    auto stream = BinaryStream::Open(path, BinaryStream::Mode::ReadWrite);
    stream->LittleEndian = true;
    EXPECT_EQ(stream->ReadInt32(), 0);  // fills the read buffer
    stream->SetPosition(2);
    stream->WriteInt16(-2);
    stream->SetPosition(2);
    EXPECT_EQ(stream->ReadInt16(), -2);
    EXPECT_TRUE(stream->Close());
    EXPECT_EQ(FileBytes(), std::string("\0\0\xFE\xFF\0\0\0\0", 8));
}

TEST_F(BinaryStreamTest, RefusedWritesAreReportedAsFailures) {
    const std::string path = WriteFile("abcd");
    auto reader = BinaryStream::Open(path, BinaryStream::Mode::ReadOnly);
    reader->WriteInt8(1);
    EXPECT_TRUE(reader->Failed());
    EXPECT_FALSE(reader->Close());
    auto writer = BinaryStream::Open(path, BinaryStream::Mode::ReadWrite);
    writer->SetPosition(-2);
    writer->WriteInt16(7);
    EXPECT_FALSE(writer->Close());
    EXPECT_EQ(FileBytes(), "abcd");

    // A text carries its length in one byte: 255 bytes at most.
    auto created = BinaryStream::Open(path, BinaryStream::Mode::Create);
    EXPECT_TRUE(created->WritePString(std::string(255, 'p')));
    EXPECT_FALSE(created->WritePString(std::string(256, 'p')));
    EXPECT_TRUE(created->Close());
    EXPECT_EQ(FileBytes(), '\xFF' + std::string(255, 'p'));
}

// In no mode does a folder, a pipe or a device open, and nothing waits for a pipe's other end.
TEST_F(BinaryStreamTest, OnlyARegularFileOpensAndTheFailureSaysWhy) {
    using Failure = BinaryStream::OpenFailure;
    const std::string fifo = dir.Fifo("pipe");
    ASSERT_FALSE(fifo.empty());
    struct Case {
        std::string path;
        Failure failure;
    };
    const std::vector<Case> cases = {
        {WriteFile("abcd"), Failure::None},
        {dir.File("no/such/file"), Failure::CannotOpen},
        {fifo, Failure::NotRegularFile},
        {dir.Folder("folder"), Failure::NotRegularFile},
        {"/dev/null", Failure::NotRegularFile},
    };
    for (BinaryStream::Mode mode : {BinaryStream::Mode::ReadOnly, BinaryStream::Mode::ReadWrite,
                                    BinaryStream::Mode::Create}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(c.path + " in mode " + std::to_string(static_cast<int>(mode)));
            Failure failure = c.failure == Failure::None ? Failure::CannotOpen : Failure::None;
            std::unique_ptr<BinaryStream> stream;
            EXPECT_TRUE(testmap::ReturnsWithoutWaitingOn(
                fifo, [&] { stream = BinaryStream::Open(c.path, mode, &failure); }));
            EXPECT_EQ(stream != nullptr, c.failure == Failure::None);
            EXPECT_EQ(failure, c.failure);
        }
    }
}

}  // namespace
