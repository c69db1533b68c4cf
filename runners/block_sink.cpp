#include "runners/block_sink.h"

#include <zlib.h>

namespace {
// Enough blocks that neither side waits for the other while both keep pace.
constexpr size_t kBackgroundBlocks = 4;
}  // namespace

BlockSink::~BlockSink() {
  uint32_t crc;
  if (file_) finish(crc);
}

void BlockSink::start(platform::files::OutputFile* file, bool background) {
  file_ = file;
  crc_ = static_cast<uint32_t>(crc32(0L, Z_NULL, 0));
  failed_ = false;
  current_ = -1;
  background_ = background;
  size_t wanted = background ? kBackgroundBlocks : 1;
  while (blocks_.size() < wanted) blocks_.emplace_back(kBlockSize);
  if (!background) return;
  free_.clear();
  full_.clear();
  for (size_t i = 0; i < kBackgroundBlocks; ++i) free_.push_back(static_cast<int>(i));
  closing_ = false;
  writer_ = std::thread([this] { writerLoop(); });
}

unsigned char* BlockSink::block() {
  if (current_ < 0) {
    if (!background_) {
      current_ = 0;
    } else {
      std::unique_lock<std::mutex> lock(mutex_);
      changed_.wait(lock, [this] { return !free_.empty(); });
      current_ = free_.front();
      free_.pop_front();
    }
  }
  return blocks_[static_cast<size_t>(current_)].data();
}

bool BlockSink::put(size_t size) {
  int index = current_;
  current_ = -1;
  if (index < 0) return !failed_;
  if (!background_) {
    writeBlock(static_cast<size_t>(index), size);
    return !failed_;
  }
  std::lock_guard<std::mutex> lock(mutex_);
  full_.emplace_back(index, size);
  changed_.notify_all();
  return !failed_;
}

bool BlockSink::finish(uint32_t& crc) {
  if (background_ && writer_.joinable()) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      closing_ = true;
      changed_.notify_all();
    }
    writer_.join();
  }
  file_ = nullptr;
  current_ = -1;
  crc = crc_;
  return !failed_;
}

void BlockSink::writeBlock(size_t index, size_t size) {
  if (failed_ || size == 0) return;
  const unsigned char* data = blocks_[index].data();
  crc_ = static_cast<uint32_t>(crc32_z(crc_, data, size));
  if (!file_->write(reinterpret_cast<const char*>(data), size)) failed_ = true;
}

void BlockSink::writerLoop() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return !full_.empty() || closing_; });
    if (full_.empty()) return;  // closing, and everything written
    auto [index, size] = full_.front();
    full_.pop_front();
    lock.unlock();
    writeBlock(static_cast<size_t>(index), size);
    lock.lock();
    free_.push_back(index);
    changed_.notify_all();
  }
}
