#include "editing/HeapRetention.h"

#include <cstdlib>
#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace velumark::editing {

#ifdef __GLIBC__
namespace {
// Blocks up to this size (the allocator's largest) come from the heap, which keeps them, instead
// of a mapping of their own, which goes back to the system when freed: the PDF writer takes two
// buffers of 16 MiB for every page it compresses.
constexpr int kLargestHeapBlock = 32 << 20;
// More than the memory a page of any printout frees. Only the part of it that was written to
// stays resident.
constexpr int kKeptBytes = 64 << 20;
// Pages between two trims of what is kept: often enough that what is resident does not creep up,
// seldom enough that faulting the memory in again costs nothing to speak of.
constexpr int kPagesPerTrim = 256;
// The allocator's own defaults.
constexpr int kDefaultTrimThreshold = 128 << 10;
constexpr int kDefaultMmapThreshold = 128 << 10;
} // namespace

HeapRetention::HeapRetention()
{
    mallopt(M_MMAP_THRESHOLD, kLargestHeapBlock);
    mallopt(M_TRIM_THRESHOLD, kKeptBytes);
}

void HeapRetention::pageDrawn()
{
    if (++m_pagesSinceTrim < kPagesPerTrim)
        return;
    m_pagesSinceTrim = 0;
    malloc_trim(0);
}

HeapRetention::~HeapRetention()
{
    mallopt(M_MMAP_THRESHOLD, kDefaultMmapThreshold);
    mallopt(M_TRIM_THRESHOLD, kDefaultTrimThreshold);
    malloc_trim(0);
}
#else
HeapRetention::HeapRetention() = default;
HeapRetention::~HeapRetention() = default;
void HeapRetention::pageDrawn() {}
#endif

} // namespace velumark::editing
