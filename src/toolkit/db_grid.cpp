#include "toolkit/db_grid.h"

#include <optional>
#include <stdexcept>

#include "data/utf8.h"

namespace lembrete {

TDBGrid::TDBGrid(TForm* owner, std::string name)
    : Component(owner, std::move(name)),
      link_([this](DataChange change) { dataChanged(change); }) {}

void TDBGrid::dataChanged(DataChange change) {
    const bool moved = change == DataChange::Scrolled || change == DataChange::DataSetChanged;
    if ((moved && !selecting_) || selection_.RowCount() != RowCount()) {
        selection_.Reset(RowCount(), Row());
    }
    changed(change == DataChange::Scrolled ? Property::Cursor : Property::Rows);
    changed(Property::Selection);
}

template <class Move>
void TDBGrid::selecting(std::optional<TShiftState> shift, Move&& move) {
    {
        // Lowered however the move ends.
        struct Lowered {
            bool& flag;
            ~Lowered() { flag = false; }
        } lowered{selecting_ = true};
        std::forward<Move>(move)();
    }
    if (selection_.RowCount() != RowCount()) {
        selection_.Reset(RowCount(), Row());
    } else if (shift) {
        selection_.Select(Row(), *shift);
    }
    changed(Property::Selection);
}

void TDBGrid::orderRows(std::optional<RowOrder> order) {
    ClientDataSet* dataSet = DataSet();
    if (dataSet == nullptr) {
        return;
    }
    std::vector<int> placed;
    selecting(std::nullopt, [&] { placed = dataSet->SetOrder(std::move(order)); });
    selection_.Reorder(placed);
    changed(Property::Selection);
}

void TDBGrid::SelectRows(const std::vector<int>& rows) {
    selection_.SetRows(rows);
    changed(Property::Selection);
}

void TDBGrid::SetColumns(std::vector<TColumn> columns) {
    columns_ = std::move(columns);
    selectedIndex_ = 0;
    changed(Property::Columns);
}

void TDBGrid::AddColumn(TColumn column) {
    columns_.push_back(std::move(column));
    changed(Property::Columns);
}

int TDBGrid::ColumnIndex(std::string_view fieldName) const {
    for (std::size_t i = 0; i < columns_.size(); ++i) {
        if (utf8::equalIgnoringCase(columns_[i].FieldName, fieldName)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

const TColumn& TDBGrid::column(int index) const {
    if (index < 0 || index >= static_cast<int>(columns_.size())) {
        throw std::out_of_range(Name() + ": coluna fora da grade: " + std::to_string(index));
    }
    return columns_[static_cast<std::size_t>(index)];
}

void TDBGrid::checkRow(int row) const {
    if (row < 0 || row >= RowCount()) {
        throw std::out_of_range(Name() + ": linha fora da grade: " + std::to_string(row));
    }
}

void TDBGrid::SetSelectedIndex(int index) {
    column(index);
    update(selectedIndex_, index, Property::Cursor);
}

int TDBGrid::Row() const {
    return link_.Active() ? DataSet()->RecNo() - 1 : -1;
}

int TDBGrid::RowCount() const {
    return link_.Active() ? DataSet()->RecordCount() : 0;
}

std::string TDBGrid::CellText(int row, int index) const {
    checkRow(row);
    return GridRow(*DataSet(), row).Text(column(index).FieldName);
}

std::string TDBGrid::CellHint(int row) const {
    checkRow(row);
    return RowHint ? RowHint(GridRow(*DataSet(), row)) : std::string();
}

void TDBGrid::ClickCell(int row, int index, TShiftState shift) {
    if (!Interactive()) {
        return;
    }
    checkRow(row);
    const TColumn& clicked = column(index);
    userAction([&] {
        const bool keep = shift == ssNone && index == actionColumn_ && selection_.Count() > 1 &&
                          selection_.Contains(row);
        selecting(keep ? std::nullopt : std::optional<TShiftState>(shift), [&] {
            if (Row() != row) {
                DataSet()->MoveTo(row + 1);
            }
        });
        SetSelectedIndex(index);
        OnCellClick.fire(clicked);
    });
}

void TDBGrid::PressKey(int key, TShiftState shift) {
    if (!Interactive()) {
        return;
    }
    userAction([&] {
        OnKeyDown.fire(key, shift);
        if (key != 0) {
            defaultKey(key, shift);
        }
    });
}

void TDBGrid::defaultKey(int key, TShiftState shift) {
    const int lastColumn = static_cast<int>(columns_.size()) - 1;
    switch (key) {
        case VK_LEFT:
            if (selectedIndex_ > 0) {
                SetSelectedIndex(selectedIndex_ - 1);
            }
            return;
        case VK_RIGHT:
            if (selectedIndex_ < lastColumn) {
                SetSelectedIndex(selectedIndex_ + 1);
            }
            return;
        default:
            break;
    }
    if (!link_.Active()) {
        return;
    }
    ClientDataSet& dataSet = *DataSet();
    // Letter keys arrive as their capital letter's code.
    if (key == 'A' && shift == ssCtrl) {
        selection_.SelectAll();
        changed(Property::Selection);
        return;
    }
    if ((shift & ssShift) != 0 &&
        (key == VK_UP || key == VK_DOWN || key == VK_HOME || key == VK_END)) {
        selecting(ssShift, [&] {
            if (key == VK_UP) {
                dataSet.Prior();
            } else if (key == VK_DOWN) {
                dataSet.Next();
            } else if (key == VK_HOME) {
                dataSet.First();
            } else {
                dataSet.Last();
            }
        });
        return;
    }
    switch (key) {
        case VK_UP:
            dataSet.Prior();
            break;
        case VK_DOWN:
            dataSet.Next();
            break;
        case VK_HOME:
            dataSet.First();
            break;
        case VK_END:
            dataSet.Last();
            break;
        case VK_INSERT:
            if (!readOnly_) {
                dataSet.Insert();
            }
            break;
        case VK_DELETE:
            if ((shift & ssCtrl) != 0 && !readOnly_ && !dataSet.IsEmpty() &&
                ((options_ & dgConfirmDelete) == 0 ||
                 (DeleteConfirmation && DeleteConfirmation()))) {
                dataSet.Delete();
            }
            break;
        default:
            break;
    }
}

void TDBGrid::DoubleClick() {
    if (Interactive()) {
        userAction([this] { OnDblClick.fire(); });
    }
}

TCanvas TDBGrid::PaintCell(int row, int index) {
    checkRow(row);
    const TColumn& painted = column(index);
    const CellRect rect{0, 0, painted.Width, rowHeight_};
    const GridRow gridRow(*DataSet(), row);
    TCanvas canvas(rect);
    canvas.SetBrushColor(Color() == clDefault ? clWindow : Color());
    canvas.SetFontColor(Font().color == clDefault ? clWindowText : Font().color);
    if (defaultDrawing_) {
        canvas.FillRect();
        canvas.TextOut(2, 2, gridRow.Text(painted.FieldName), painted.Align);
    }
    OnDrawColumnCell.fire(canvas, rect, index, painted, gridRow);
    return canvas;
}

}  // namespace lembrete
