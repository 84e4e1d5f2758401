#pragma once

#include <algorithm>
#include <memory>
#include <vector>

namespace velumark {

// Inserts an item into a list kept in the order of `less`, after any equal items, so that the
// list stays exactly as a full sort would leave it (up to the order of equal items).
template <typename T, typename Less> void insertSorted(std::vector<T *> &list, T *item, Less less)
{
    list.insert(std::upper_bound(list.begin(), list.end(), item, less), item);
}

template <typename T, typename Less>
T *insertSorted(std::vector<std::unique_ptr<T>> &list, std::unique_ptr<T> item, Less less)
{
    T *raw = item.get();
    auto at = std::upper_bound(
        list.begin(), list.end(), raw,
        [&](const T *value, const std::unique_ptr<T> &element) { return less(value, element.get()); });
    list.insert(at, std::move(item));
    return raw;
}

// Removes every occurrence of the item.
template <typename T> void removeFrom(std::vector<T *> &list, const T *item)
{
    std::erase(list, item);
}

} // namespace velumark
