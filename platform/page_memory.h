// Memory for the large tables of the model that are filled once, from start
// to end: whole pages straight from the system, zero-filled, and in huge
// pages (2 MB) where the system offers them. Filling a table of some
// megabytes otherwise takes a page fault for every 4 KB, and on a virtual
// machine one page fault can cost tens of microseconds.
#ifndef SCENARIO_PLATFORM_PAGE_MEMORY_H_
#define SCENARIO_PLATFORM_PAGE_MEMORY_H_

#include <cstddef>

namespace scenario {

// A block of zero-filled memory, aligned for any value, owned until the
// object goes. Moves, never copies.
class PageBuffer {
 public:
  PageBuffer() = default;
  // `bytes` may be 0 (no memory). Out of memory fails like operator new.
  explicit PageBuffer(size_t bytes);
  ~PageBuffer();
  PageBuffer(PageBuffer&& other) noexcept;
  PageBuffer& operator=(PageBuffer&& other) noexcept;
  PageBuffer(const PageBuffer&) = delete;
  PageBuffer& operator=(const PageBuffer&) = delete;

  void* data() const { return data_; }
  size_t size() const { return size_; }

 private:
  void Release();

  void* data_ = nullptr;
  size_t size_ = 0;
  size_t mapped_ = 0;  // bytes mapped from the system; 0 when from operator new
};

}  // namespace scenario

#endif  // SCENARIO_PLATFORM_PAGE_MEMORY_H_
