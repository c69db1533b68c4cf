// The block sink: blocks reach the file whole and in order with the right checksum, in
// both modes, and a failed write is reported without losing track of the blocks.
#include "runners/block_sink.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstring>
#include <string>

namespace {

class RecordingFile : public platform::files::OutputFile {
 public:
  explicit RecordingFile(int failAtWrite = -1) : failAt_(failAtWrite) {}
  bool write(const char* data, size_t size) override {
    if (writes_++ == failAt_) return false;
    content.append(data, size);
    return true;
  }
  bool close() override { return true; }
  std::string content;

 private:
  int failAt_;
  int writes_ = 0;
};

// Fills blocks of varying lengths with a pattern and returns what was handed over.
std::string feed(BlockSink& sink, int blocks, bool& allPut) {
  std::string sent;
  allPut = true;
  for (int b = 0; b < blocks; ++b) {
    size_t size = b % 3 == 2 ? 1000 : BlockSink::kBlockSize;  // short blocks too
    unsigned char* block = sink.block();
    for (size_t i = 0; i < size; ++i) block[i] = static_cast<unsigned char>((b * 131 + i) % 251);
    sent.append(reinterpret_cast<const char*>(block), size);
    allPut = sink.put(size) && allPut;
  }
  return sent;
}

uint32_t crcOf(const std::string& data) {
  return static_cast<uint32_t>(
      crc32_z(crc32(0L, Z_NULL, 0), reinterpret_cast<const Bytef*>(data.data()), data.size()));
}

}  // namespace

TEST(BlockSink, WritesEveryBlockInOrderInBothModes) {
  BlockSink sink;  // one sink for several files, as the extractor keeps it
  for (bool background : {false, true, false, true}) {
    SCOPED_TRACE(background ? "background" : "in line");
    RecordingFile file;
    sink.start(&file, background);
    bool allPut = false;
    std::string sent = feed(sink, 23, allPut);
    uint32_t crc = 0;
    EXPECT_TRUE(allPut);
    ASSERT_TRUE(sink.finish(crc));
    EXPECT_TRUE(file.content == sent);
    EXPECT_EQ(crc, crcOf(sent));
  }
}

TEST(BlockSink, AFailedWriteFailsTheFileAndStopsWriting) {
  for (bool background : {false, true}) {
    SCOPED_TRACE(background ? "background" : "in line");
    BlockSink sink;
    RecordingFile file(/*failAtWrite=*/3);
    sink.start(&file, background);
    bool allPut = true;
    feed(sink, 12, allPut);
    uint32_t crc = 0;
    EXPECT_FALSE(sink.finish(crc));
    // Nothing after the failed block: the file would have a hole in it.
    EXPECT_EQ(file.content.size(), 2 * BlockSink::kBlockSize + 1000);
    if (!background) {
      EXPECT_FALSE(allPut);
    }
    // The sink serves the next file as if nothing had happened.
    RecordingFile next;
    sink.start(&next, background);
    std::string sent = feed(sink, 4, allPut);
    ASSERT_TRUE(sink.finish(crc));
    EXPECT_TRUE(next.content == sent);
  }
}

TEST(BlockSink, FinishWithoutBlocksGivesTheEmptyChecksum) {
  BlockSink sink;
  RecordingFile file;
  sink.start(&file, true);
  sink.block();  // taken but never handed over, as when the producer fails
  uint32_t crc = 1;
  EXPECT_TRUE(sink.finish(crc));
  EXPECT_EQ(crc, 0u);
  EXPECT_TRUE(file.content.empty());
}
