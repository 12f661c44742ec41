// Pages from mmap. A block of 1 MB or more is placed on a 2 MB boundary and
// marked for huge pages, which Linux then fills a 2 MB page at a time.
#include <sys/mman.h>

#include <cstdint>

#include "platform/page_memory_internal.h"

namespace scenario {
namespace {

constexpr size_t kPage = 4096;
constexpr size_t kHugePage = size_t{2} << 20;
constexpr size_t kHugeFrom = size_t{1} << 20;

size_t RoundUp(size_t n, size_t to) { return (n + to - 1) / to * to; }

void* Map(size_t bytes) {
  void* p = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  return p == MAP_FAILED ? nullptr : p;
}

}  // namespace

void* MapPages(size_t bytes, size_t* mapped) {
  if (bytes < kHugeFrom) {
    *mapped = RoundUp(bytes, kPage);
    return Map(*mapped);
  }
  // Map a huge page more than needed and give back what lies outside the
  // aligned block.
  const size_t size = RoundUp(bytes, kHugePage);
  char* const start = static_cast<char*>(Map(size + kHugePage));
  if (start == nullptr) return nullptr;
  const uintptr_t address = reinterpret_cast<uintptr_t>(start);
  char* const block = start + (RoundUp(address, kHugePage) - address);
  if (block != start) munmap(start, static_cast<size_t>(block - start));
  char* const end = start + size + kHugePage;
  if (block + size != end) munmap(block + size, static_cast<size_t>(end - (block + size)));
#if defined(MADV_HUGEPAGE)
  madvise(block, size, MADV_HUGEPAGE);  // a hint: without huge pages it works all the same
#endif
  *mapped = size;
  return block;
}

void UnmapPages(void* pages, size_t mapped) { munmap(pages, mapped); }

}  // namespace scenario
