#include "MemoryReuse.h"

#if __has_include(<malloc.h>)
#include <malloc.h>
#endif

namespace ambrel {

void keepFreedMemoryForRebuilds()
{
#ifdef M_MMAP_THRESHOLD
    // The task rows of 100,000 tasks take about 35 MB in one block; larger plans still get blocks of their
    // own, and at most 128 MB of freed memory is kept back.
    mallopt(M_MMAP_THRESHOLD, 64 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 128 * 1024 * 1024);
#endif
}

} // namespace ambrel
