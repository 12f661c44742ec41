// PageBuffer: the moves and the fallback shared by the backends; the pages
// themselves come from MapPages (page_memory_posix.cc, page_memory_win.cc).
#include "platform/page_memory.h"

#include <cstring>
#include <new>
#include <utility>

#include "platform/page_memory_internal.h"

namespace scenario {

PageBuffer::PageBuffer(size_t bytes) : size_(bytes) {
  if (bytes == 0) return;
  data_ = MapPages(bytes, &mapped_);
  if (data_ == nullptr) {
    // The system would not map the pages: ordinary memory will do.
    mapped_ = 0;
    data_ = ::operator new(bytes);
    std::memset(data_, 0, bytes);
  }
}

PageBuffer::~PageBuffer() { Release(); }

PageBuffer::PageBuffer(PageBuffer&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)),
      size_(std::exchange(other.size_, 0)),
      mapped_(std::exchange(other.mapped_, 0)) {}

PageBuffer& PageBuffer::operator=(PageBuffer&& other) noexcept {
  if (this != &other) {
    Release();
    data_ = std::exchange(other.data_, nullptr);
    size_ = std::exchange(other.size_, 0);
    mapped_ = std::exchange(other.mapped_, 0);
  }
  return *this;
}

void PageBuffer::Release() {
  if (data_ == nullptr) return;
  if (mapped_ != 0) {
    UnmapPages(data_, mapped_);
  } else {
    ::operator delete(data_);
  }
  data_ = nullptr;
  size_ = 0;
  mapped_ = 0;
}

}  // namespace scenario
