#pragma once

namespace velumark::editing {

// While it lives, memory freed to the allocator stays in the process for the next allocations
// instead of going back to the system. A long printout allocates and frees about the same memory
// for every page; giving it back each time made the thread that draws fault it in again, page by
// page. What is kept goes back when it ends.
class HeapRetention
{
public:
    HeapRetention();
    ~HeapRetention();
    HeapRetention(const HeapRetention &) = delete;
    HeapRetention &operator=(const HeapRetention &) = delete;
};

} // namespace velumark::editing
