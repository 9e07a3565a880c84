// GridSelection: which rows of a grid are selected, and how clicks and keys change that.
//
// It keeps the selected rows and an anchor, the row a range starts from. A plain click or move
// selects that one row and makes it the anchor; Ctrl adds or removes one row (the anchor moves
// there); Shift selects from the anchor to the row (with Ctrl, that range is added to what was
// selected); SelectAll takes every row. Rows are 0-based; Reset starts again for a new count.
#pragma once

#include <vector>

#include "toolkit/keys.h"

namespace lembrete {

class GridSelection {
  public:
    // `rowCount` rows, only `current` selected (none when it is outside them).
    void Reset(int rowCount, int current);
    // What a click on `row` (or a move to it) with `shift` held selects.
    void Select(int row, TShiftState shift);
    void SelectAll();
    // Exactly `rows` (those outside the count are dropped); the anchor is the first of them.
    void SetRows(const std::vector<int>& rows);
    // The rows changed places (the row at index i went to placed[i]): the same rows stay
    // selected, the anchor with them. Ignored when `placed` is not one index per row.
    void Reorder(const std::vector<int>& placed);

    int RowCount() const { return static_cast<int>(selected_.size()); }
    int Count() const { return count_; }
    bool Contains(int row) const;
    // The selected rows in ascending order.
    std::vector<int> Rows() const;

  private:
    bool inside(int row) const { return row >= 0 && row < RowCount(); }
    void set(int row, bool on);
    void clear();

    std::vector<bool> selected_;
    int count_ = 0;
    int anchor_ = -1;
};

}  // namespace lembrete
