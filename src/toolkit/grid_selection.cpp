#include "toolkit/grid_selection.h"

#include <algorithm>

namespace lembrete {

void GridSelection::Reset(int rowCount, int current) {
    selected_.assign(static_cast<std::size_t>(std::max(rowCount, 0)), false);
    count_ = 0;
    anchor_ = -1;
    if (inside(current)) {
        set(current, true);
        anchor_ = current;
    }
}

void GridSelection::Select(int row, TShiftState shift) {
    if (!inside(row)) {
        return;
    }
    const bool ctrl = (shift & ssCtrl) != 0;
    if ((shift & ssShift) != 0 && inside(anchor_)) {
        if (!ctrl) {
            clear();
        }
        for (int r = std::min(anchor_, row); r <= std::max(anchor_, row); ++r) {
            set(r, true);
        }
        return;
    }
    if (ctrl) {
        set(row, !Contains(row));
    } else {
        clear();
        set(row, true);
    }
    anchor_ = row;
}

void GridSelection::SelectAll() {
    for (int row = 0; row < RowCount(); ++row) {
        set(row, true);
    }
    if (!inside(anchor_) && RowCount() > 0) {
        anchor_ = 0;
    }
}

void GridSelection::SetRows(const std::vector<int>& rows) {
    clear();
    anchor_ = -1;
    for (const int row : rows) {
        if (inside(row)) {
            set(row, true);
            if (anchor_ < 0) {
                anchor_ = row;
            }
        }
    }
}

void GridSelection::Reorder(const std::vector<int>& placed) {
    if (static_cast<int>(placed.size()) != RowCount()) {
        return;
    }
    std::vector<bool> moved(selected_.size(), false);
    for (std::size_t row = 0; row < placed.size(); ++row) {
        moved[static_cast<std::size_t>(placed[row])] = selected_[row];
    }
    selected_ = std::move(moved);
    if (inside(anchor_)) {
        anchor_ = placed[static_cast<std::size_t>(anchor_)];
    }
}

bool GridSelection::Contains(int row) const {
    return inside(row) && selected_[static_cast<std::size_t>(row)];
}

std::vector<int> GridSelection::Rows() const {
    std::vector<int> rows;
    rows.reserve(static_cast<std::size_t>(count_));
    for (int row = 0; row < RowCount(); ++row) {
        if (selected_[static_cast<std::size_t>(row)]) {
            rows.push_back(row);
        }
    }
    return rows;
}

void GridSelection::set(int row, bool on) {
    auto slot = selected_[static_cast<std::size_t>(row)];
    if (slot != on) {
        slot = on;
        count_ += on ? 1 : -1;
    }
}

void GridSelection::clear() {
    std::fill(selected_.begin(), selected_.end(), false);
    count_ = 0;
}

}  // namespace lembrete
