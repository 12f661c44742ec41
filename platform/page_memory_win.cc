// Pages from VirtualAlloc, committed at once and zero-filled by the system.
#include <windows.h>

#include "platform/page_memory_internal.h"

namespace scenario {

void* MapPages(size_t bytes, size_t* mapped) {
  *mapped = bytes;
  return VirtualAlloc(nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
}

void UnmapPages(void* pages, size_t /*mapped*/) { VirtualFree(pages, 0, MEM_RELEASE); }

}  // namespace scenario
