#pragma once

#include <algorithm>
#include <climits>
#include <cstddef>
#include <vector>

namespace HTMLParser::internal {

// The first free row of every table column ("fill"), for placing cells. A column's fill
// is never below Floor(), the row after the last ended row: ending a row raises every
// column at once by raising the floor, and the columns right of those used so far sit
// exactly at the floor. A cell goes to the leftmost column whose fill is the floor.
//
// A tree of minimums over the stored fills finds that column in logarithmic time, so a
// table whose row spans push every row one column further right stays linear.
class ColumnFill {
  public:
    long Floor() const { return floor_; }
    std::size_t Size() const { return size_; }
    // The largest fill of any column: the table's row count.
    long Largest() const { return std::max(floor_, largest_); }

    // The leftmost column whose fill is the floor (Size() when it is a new column).
    std::size_t FirstFree() const {
        if (size_ == 0 || tree_[1] > floor_)
            return size_;
        std::size_t node = 1;
        while (node < capacity_)
            node = tree_[2 * node] <= floor_ ? 2 * node : 2 * node + 1;
        return node - capacity_;
    }

    // Ending a row: every column's fill rises to at least `row`.
    void RaiseAll(long row) { floor_ = std::max(floor_, row); }

    // A cell spanning `count` columns from `col` and `rows` rows: their fills grow by
    // `rows`. Columns that do not exist yet are added at the floor.
    void Occupy(std::size_t col, std::size_t count, long rows) {
        if (col + count > size_)
            Grow(col + count);
        for (std::size_t c = col; c < col + count; ++c) {
            const long fill = std::max(tree_[capacity_ + c], floor_) + rows;
            largest_ = std::max(largest_, fill);
            Set(c, fill);
        }
    }

  private:
    void Grow(std::size_t size) {
        if (size > capacity_) {
            std::size_t capacity = std::max<std::size_t>(capacity_, 16);
            while (capacity < size)
                capacity *= 2;
            std::vector<long> tree(2 * capacity, LONG_MAX);
            std::copy(tree_.begin() + static_cast<std::ptrdiff_t>(capacity_),
                      tree_.begin() + static_cast<std::ptrdiff_t>(capacity_ + size_),
                      tree.begin() + static_cast<std::ptrdiff_t>(capacity));
            tree_.swap(tree);
            capacity_ = capacity;
            for (std::size_t n = capacity_ - 1; n >= 1; --n)
                tree_[n] = std::min(tree_[2 * n], tree_[2 * n + 1]);
        }
        for (std::size_t c = size_; c < size; ++c)
            Set(c, floor_);
        size_ = size;
    }

    void Set(std::size_t col, long fill) {
        std::size_t n = capacity_ + col;
        tree_[n] = fill;
        for (n /= 2; n >= 1; n /= 2)
            tree_[n] = std::min(tree_[2 * n], tree_[2 * n + 1]);
    }

    std::vector<long> tree_;  // tree_[1] the root, leaves from capacity_
    std::size_t capacity_ = 0;
    std::size_t size_ = 0;
    long floor_ = 0;
    long largest_ = 0;
};

}  // namespace HTMLParser::internal
