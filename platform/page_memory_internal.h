// The system side of PageBuffer, one file per platform.
#ifndef SCENARIO_PLATFORM_PAGE_MEMORY_INTERNAL_H_
#define SCENARIO_PLATFORM_PAGE_MEMORY_INTERNAL_H_

#include <cstddef>

namespace scenario {

// Maps at least `bytes` zero-filled bytes; *mapped is what UnmapPages needs.
// nullptr when the system refuses.
void* MapPages(size_t bytes, size_t* mapped);
void UnmapPages(void* pages, size_t mapped);

}  // namespace scenario

#endif  // SCENARIO_PLATFORM_PAGE_MEMORY_INTERNAL_H_
