// TDBGrid: a grid over the rows of a DataSource (the agenda's dbsAFazer, a TDBSortGrid).
//
// Rows are the dataset's rows and the current row is the dataset's cursor; the grid adds
// columns (field, title, width, alignment) and the selected column. User actions: ClickCell
// moves the cursor to the row, selects the column and fires OnCellClick(column); PressKey
// fires OnKeyDown(key, shift) and then, unless the handler set the key to 0, does what the
// key does in a grid (arrows move, Insert starts a new row and Ctrl+Delete deletes the current
// row unless the grid is read-only; a delete asks DeleteConfirmation first when the options
// hold dgConfirmDelete); DoubleClick fires OnDblClick. The other options say how the Qt layer
// shows the grid (titles, lines, resizable columns).
//
// Several rows may be selected (GridSelection): a click with Ctrl or Shift, Shift with the
// arrows, Home and End, and Ctrl+A change the selection; the cursor stays on the row clicked or
// moved to. Any other move of the cursor, and any post, delete or reload of the dataset,
// selects just the current row again. A plain click in the action column on one of several selected
// rows keeps them selected, so that the column's action can apply to them all.
//
// PaintCell describes one cell: the default drawing (background fill and the field's text)
// unless DefaultDrawing is off, then whatever OnDrawColumnCell paints on the canvas. The
// handler reads the painted row through the GridRow it is given, not through the dataset's
// cursor, so painting never moves the cursor.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "data/field_layout.h"
#include "data/row_order.h"
#include "toolkit/canvas.h"
#include "toolkit/component.h"
#include "toolkit/data_link.h"
#include "toolkit/grid_row.h"
#include "toolkit/grid_selection.h"
#include "toolkit/keys.h"

namespace lembrete {

// Grid options (flags).
using TDBGridOptions = unsigned;
constexpr TDBGridOptions dgTitles = 1;
constexpr TDBGridOptions dgColumnResize = 2;
constexpr TDBGridOptions dgColLines = 4;
constexpr TDBGridOptions dgRowLines = 8;
constexpr TDBGridOptions dgTabs = 16;
constexpr TDBGridOptions dgConfirmDelete = 32;
constexpr TDBGridOptions dgCancelOnExit = 64;

struct TColumn {
    static constexpr int kDefaultWidth = 64;
    std::string FieldName;
    std::string Title;
    int Width = kDefaultWidth;
    Alignment Align = Alignment::Left;
};

class TDBGrid : public Component {
  public:
    TDBGrid(TForm* owner, std::string name);

    lembrete::DataSource* DataSource() const { return link_.Source(); }
    void SetDataSource(lembrete::DataSource* source) { link_.SetSource(source); }
    ClientDataSet* DataSet() const { return link_.DataSet(); }

    const std::vector<TColumn>& Columns() const { return columns_; }
    void SetColumns(std::vector<TColumn> columns);
    void AddColumn(TColumn column);
    // Index of the column bound to the field (letter case ignored), or -1.
    int ColumnIndex(std::string_view fieldName) const;

    int SelectedIndex() const { return selectedIndex_; }
    // Throws std::out_of_range outside the columns.
    void SetSelectedIndex(int column);
    // The current row (0-based), -1 when there is none.
    int Row() const;
    int RowCount() const;
    std::string CellText(int row, int column) const;

    // The selected rows (0-based, ascending); the current row alone unless the user chose more.
    std::vector<int> SelectedRows() const { return selection_.Rows(); }
    int SelectedCount() const { return selection_.Count(); }
    bool IsSelected(int row) const { return selection_.Contains(row); }
    // Selects exactly `rows` (those outside the grid are left out); the cursor stays.
    void SelectRows(const std::vector<int>& rows);
    int ActionColumn() const { return actionColumn_; }
    void SetActionColumn(int column) { actionColumn_ = column; }

    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool readOnly) { update(readOnly_, readOnly, Property::ReadOnly); }
    TDBGridOptions Options() const { return options_; }
    void SetOptions(TDBGridOptions options) { update(options_, options, Property::Data); }
    bool DefaultDrawing() const { return defaultDrawing_; }
    void SetDefaultDrawing(bool on) { defaultDrawing_ = on; }
    // The cells use Font; the column titles this one.
    const TFont& TitleFont() const { return titleFont_; }
    void SetTitleFont(TFont font) { update(titleFont_, font, Property::Font); }
    int RowHeight() const { return rowHeight_; }
    // Asked before a delete from the keyboard under dgConfirmDelete; no answer means no.
    std::function<bool()> DeleteConfirmation;
    // The hint of a row (shown over any of its cells); none when unset or empty.
    std::function<std::string(const GridRow&)> RowHint;
    // RowHint of `row`; throws std::out_of_range outside the rows.
    std::string CellHint(int row) const;

    Event<const TColumn&> OnCellClick;
    Event<int&, TShiftState> OnKeyDown;
    Event<> OnDblClick;
    Event<TCanvas&, const CellRect&, int, const TColumn&, const GridRow&> OnDrawColumnCell;

    // User actions.
    void ClickCell(int row, int column, TShiftState shift = ssNone);
    void PressKey(int key, TShiftState shift = ssNone);
    void DoubleClick();

    // The paint description of one cell; throws std::out_of_range outside the rows/columns.
    TCanvas PaintCell(int row, int column);

  protected:
    const TColumn& column(int index) const;
    // Orders the dataset's rows (ClientDataSet::SetOrder), the cursor and the selected rows
    // kept on their rows.
    void orderRows(std::optional<RowOrder> order);

  private:
    void checkRow(int row) const;
    void defaultKey(int key, TShiftState shift);
    // The dataset told the grid something: a cursor the grid did not move selects its row only.
    void dataChanged(DataChange change);
    // Runs `move` (which may scroll the dataset) keeping the selection, then selects as `shift`
    // says from the row the cursor reached (without one, the selection stays as it was).
    template <class Move>
    void selecting(std::optional<TShiftState> shift, Move&& move);

    std::vector<TColumn> columns_;
    int selectedIndex_ = 0;
    bool readOnly_ = false;
    TDBGridOptions options_ = dgTitles | dgColumnResize | dgColLines | dgRowLines | dgTabs |
                              dgConfirmDelete | dgCancelOnExit;
    bool defaultDrawing_ = true;
    TFont titleFont_;
    int rowHeight_ = 18;
    GridSelection selection_;
    bool selecting_ = false;
    int actionColumn_ = -1;
    DataLink link_;
};

}  // namespace lembrete
