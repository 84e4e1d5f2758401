#pragma once

namespace velumark::editing {

// While it lives, memory freed to the allocator stays in the process for the next allocations
// instead of going back to the system. A long printout allocates and frees about the same memory
// for every page; giving it back each time made the thread that draws fault it in again, page by
// page. What is kept goes back every so many pages, so that it does not grow with a long
// printout, and when it ends.
class HeapRetention
{
public:
    HeapRetention();
    ~HeapRetention();
    // After each page drawn.
    void pageDrawn();
    HeapRetention(const HeapRetention &) = delete;
    HeapRetention &operator=(const HeapRetention &) = delete;

private:
    int m_pagesSinceTrim = 0;
};

} // namespace velumark::editing
