#pragma once
// Takes a file's content block by block, checksums (CRC-32) and writes each block. For a big
// file a second thread does that while the caller produces the next block, so inflating and
// writing overlap on a machine with two cores; the blocks still reach the file in order.
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "platform/files.h"

class BlockSink {
 public:
  static constexpr size_t kBlockSize = 256 * 1024;

  BlockSink() = default;
  ~BlockSink();
  BlockSink(const BlockSink&) = delete;
  BlockSink& operator=(const BlockSink&) = delete;

  // Begins a file; the sink writes to file until finish().
  void start(platform::files::OutputFile* file, bool background);
  // The block to fill next, kBlockSize bytes; the same one until put(). May wait for the
  // writer to give a block back.
  unsigned char* block();
  // Hands over the first size bytes of the current block. False once a write has failed.
  bool put(size_t size);
  // Waits until every block is written; crc is the checksum of all of them. False when a
  // write failed. Must follow start() before the file is closed.
  bool finish(uint32_t& crc);

 private:
  void writeBlock(size_t index, size_t size);
  void writerLoop();

  platform::files::OutputFile* file_ = nullptr;
  std::vector<std::vector<unsigned char>> blocks_;
  int current_ = -1;   // the block the caller fills
  uint32_t crc_ = 0;   // touched by the writer only while a file is under way
  std::atomic<bool> failed_{false};

  bool background_ = false;
  std::thread writer_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<int> free_;
  std::deque<std::pair<int, size_t>> full_;
  bool closing_ = false;
};
