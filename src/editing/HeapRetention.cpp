#include "editing/HeapRetention.h"

#include <cstdlib>
#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace velumark::editing {

#ifdef __GLIBC__
namespace {
// More than the memory a page of any printout frees.
constexpr int kKeptBytes = 32 << 20;
// The allocator's own default.
constexpr int kDefaultTrimThreshold = 128 << 10;
} // namespace

HeapRetention::HeapRetention()
{
    mallopt(M_TRIM_THRESHOLD, kKeptBytes);
}

HeapRetention::~HeapRetention()
{
    mallopt(M_TRIM_THRESHOLD, kDefaultTrimThreshold);
    malloc_trim(0);
}
#else
HeapRetention::HeapRetention() = default;
HeapRetention::~HeapRetention() = default;
#endif

} // namespace velumark::editing
