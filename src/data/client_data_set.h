// ClientDataSet: the in-memory dataset the forms work on (`cdsAFazer`, `cdsAuxAFazer` ...).
//
// It holds field layouts, the posted rows, a cursor and an edit buffer, and moves through the
// states Inactive, Browse, Edit and Insert. Every posted insert, edit and delete is kept in a
// change log until MergeChangeLog accepts it or CancelUpdates undoes it; Delta() gives the
// net changes as a packet for the server:
//   - insert then edit   -> one insert with the final values
//   - insert then delete -> nothing
//   - edit then delete   -> one delete with the values before the first edit
//   - edit twice         -> one update: the first old values, the latest new values
//   - an edit whose posted values equal the row's logged old values is no change at all:
//     Post still runs (events, back to browse) but nothing is logged, so ChangeCount stays.
// Changes appear in the order rows were first changed; values follow the dataset's fields.
// Post, Delete and Delta cost time in proportion to one row (Delta: to the changes).
//
// Events are plain calls on the caller's stack: an exception thrown by a handler reaches
// whoever called Post, Delete, Append ... and the dataset stays consistent:
//   - BeforeInsert / OnNewRecord throwing aborts the append: back to browse, no row added;
//   - BeforePost throwing leaves the row in edit or insert state, nothing posted;
//   - from AfterPost / AfterDelete on, the change is posted and logged whatever they do.
// Handlers may reload (SetData), merge or cancel the change log from any After* event.
//
// Views follow the dataset through DataSource objects, which the dataset notifies of data,
// scroll and state changes; DisableControls holds those notifications back (nested) and
// EnableControls delivers one DataSetChanged when the last hold ends.
// Single-threaded: the user-interface thread owns every dataset.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/data_packet.h"
#include "data/field.h"
#include "data/field_layout.h"
#include "data/row_order.h"
#include "data/variant.h"

namespace lembrete {

class DataSource;

enum class DataSetState { Inactive, Browse, Edit, Insert };

// What a data source tells its views.
enum class DataChange {
    DataSetChanged,  // anything may have changed: opened, closed, reloaded, controls enabled
    RecordChanged,   // a field of the current row or of the edit buffer changed
    Scrolled,        // the cursor moved
    StateChanged,    // the dataset's state changed
};

class ClientDataSet {
  public:
    using Event = std::function<void(ClientDataSet&)>;

    explicit ClientDataSet(std::string name = {}, std::vector<FieldLayout> fields = {});
    ClientDataSet(std::string name, const std::vector<FieldDef>& fields);
    ~ClientDataSet();
    ClientDataSet(const ClientDataSet&) = delete;
    ClientDataSet& operator=(const ClientDataSet&) = delete;

    const std::string& Name() const { return name_; }

    // --- fields ---------------------------------------------------------------------------
    // Replaces the field layouts; only while inactive (std::logic_error otherwise).
    void SetFields(std::vector<FieldLayout> fields);
    const std::vector<FieldLayout>& FieldLayouts() const { return fields_; }
    std::vector<FieldDef> FieldDefs() const;
    int FieldCount() const { return static_cast<int>(fields_.size()); }
    Field Fields(int index);
    // Throws std::out_of_range naming the field when there is none (letter case ignored).
    Field FieldByName(std::string_view name);
    int FieldIndex(std::string_view name) const;  // -1 when absent
    // Client-side caption, alignment and visibility of a field (kept across SetData).
    void SetFieldLayout(std::string_view name, std::string label,
                        Alignment alignment = Alignment::Left, bool visible = true);

    // --- open / close ---------------------------------------------------------------------
    DataSetState State() const { return state_; }
    bool Active() const { return state_ != DataSetState::Inactive; }
    void SetActive(bool active);
    // Opens with the current fields and no rows (AfterOpen, AfterScroll).
    void Open();
    // Drops the rows, the change log and any pending edit.
    void Close();
    // Replaces fields and rows with the packet's, clears the change log and opens the dataset
    // (AfterOpen, AfterScroll); a pending edit is discarded. Rows are taken as the server sent
    // them.
    void SetData(const DataPacket& packet);
    // The posted rows (not the edit buffer) with the dataset's fields.
    DataPacket Data() const;

    // --- navigation -----------------------------------------------------------------------
    // Each first stores a pending edit (Post when modified, Cancel otherwise).
    void First();
    void Last();
    void Next();
    void Prior();
    // Moves to record number `recNo` (1-based); false when out of range.
    bool MoveTo(int recNo);
    bool Eof() const { return eof_; }
    bool Bof() const { return bof_; }
    int RecNo() const;  // 1-based; 0 when empty or inactive
    // Posted rows; a row being inserted counts once it is posted.
    int RecordCount() const { return static_cast<int>(rows_.size()); }
    bool IsEmpty() const { return rows_.empty(); }
    // The posted values of row `index` (0-based), for views that draw every row.
    const Row& RowAt(int index) const;
    // Moves to the first row whose field equals `value` (converted to the field's type first),
    // texts compared regardless of letter case; fires AfterScroll and returns true, or leaves
    // the cursor and returns false.
    bool Locate(std::string_view fieldName, const Variant& value);

    // --- editing --------------------------------------------------------------------------
    // Append adds at the end, Insert before the current row. BeforeInsert, OnNewRecord,
    // AfterInsert; the new row holds nulls until set.
    void Append();
    void Insert();
    // BeforeEdit, AfterEdit; on an empty dataset it appends instead; no-op in edit/insert.
    void Edit();
    // BeforePost, store and log, browse, AfterPost. Throws std::logic_error outside edit/insert.
    void Post();
    // BeforeCancel, drop the buffer, browse, AfterCancel; no-op in browse.
    void Cancel();
    // BeforeDelete, remove and log, AfterDelete, AfterScroll (unless AfterDelete reloaded or
    // closed the dataset). In insert state it cancels; std::logic_error on an empty dataset.
    void Delete();
    // True when a field was set since Edit/Append.
    bool Modified() const { return modified_; }

    // --- order ----------------------------------------------------------------------------
    // The order the rows are kept in (row_order.h); none, the start, keeps them as they came.
    // Setting it stores a pending edit (as a move does), puts the rows in that order and
    // leaves the cursor on its row, raising no AfterScroll. SetData and CancelUpdates put the
    // rows in it again; a posted row stays where it is until then, so that an edit never takes
    // the cursor away. An order by a field the dataset lacks leaves the rows as they come.
    // Returns where the rows went: the new 0-based index of the row at each old index.
    std::vector<int> SetOrder(std::optional<RowOrder> order);
    const std::optional<RowOrder>& Order() const { return order_; }

    // --- change log -----------------------------------------------------------------------
    int ChangeCount() const { return liveChanges_; }
    DataPacket Delta() const;
    // Accepts every logged change: the rows stay as they are and the log is emptied.
    void MergeChangeLog();
    // Undoes every logged change (a pending edit is dropped first) and empties the log.
    void CancelUpdates();
    bool LogChanges() const { return logChanges_; }
    // Posts made while logging is off change the rows but never reach the log.
    void SetLogChanges(bool on) { logChanges_ = on; }

    // --- views ----------------------------------------------------------------------------
    void DisableControls();
    void EnableControls();
    bool ControlsDisabled() const { return disabled_ > 0; }

    // --- events ---------------------------------------------------------------------------
    Event BeforeInsert, OnNewRecord, AfterInsert;
    Event BeforeEdit, AfterEdit;
    Event BeforePost, AfterPost;
    Event BeforeCancel, AfterCancel;
    Event BeforeDelete, AfterDelete;
    Event AfterOpen, AfterScroll;

  private:
    friend class Field;
    friend class DataSource;

    // A posted row's values never change in place: an edit posts new ones. So the row, its log
    // entry and its undo step share them instead of each holding a copy.
    using Values = std::shared_ptr<const Row>;
    struct Record {
        std::uint64_t id = 0;
        Values values;
    };
    // Net change of one row since the last merge; null values stand for none. The log and
    // the undo steps take a few entries per posted row, so their members are laid out tightly.
    struct LogEntry {
        std::uint64_t id = 0;
        Values oldValues;
        Values newValues;
        ChangeKind kind = ChangeKind::Insert;
        bool live = true;
    };
    // One posted step, kept so that CancelUpdates can undo the steps in reverse.
    struct UndoStep {
        Record before;               // the row before an update or delete
        std::uint32_t position = 0;  // rows are counted in int (RecordCount)
        ChangeKind kind = ChangeKind::Insert;
    };

    const Variant& fieldValue(int index) const;
    void setFieldValue(int index, Variant value);
    Variant converted(int index, Variant value) const;
    void requireActive() const;
    void storePending();
    void startInsert(std::size_t position);
    void fire(const Event& event);
    void notify(DataChange change);
    void setState(DataSetState state);
    void scrolled();
    void logInsert(const Record& record);
    void logUpdate(const Record& before, const Values& after);
    void logDelete(const Record& before);
    LogEntry& entryFor(std::uint64_t id, ChangeKind kind, const Values& oldValues);
    void dropEntry(std::uint64_t id);
    void clearLog();
    // The rows were all replaced: ids from `firstId` on are the only ones in use.
    void forgetIds(std::uint64_t firstId);
    void attach(DataSource* source);
    void detach(DataSource* source);
    // Puts the rows in order_; returns the new index of the row at each old index.
    std::vector<int> arrange();

    std::string name_;
    std::vector<FieldLayout> fields_;
    std::vector<Record> rows_;
    std::optional<RowOrder> order_;
    std::size_t cursor_ = 0;
    bool bof_ = true;
    bool eof_ = true;
    DataSetState state_ = DataSetState::Inactive;
    Row buffer_;
    std::size_t insertAt_ = 0;
    bool modified_ = false;
    std::uint64_t nextId_ = 1;
    std::uint64_t generation_ = 0;  // counts reloads and closes

    std::vector<LogEntry> log_;
    // The log position + 1 of each row's entry (0: none), by id - firstId_: the rows' ids
    // were all issued in order since the last reload, so a dense vector serves where a hash
    // map would scatter its nodes over the heap and rehash them as the log grows.
    std::vector<std::size_t> logSlots_;
    std::uint64_t firstId_ = 1;
    std::vector<UndoStep> undo_;
    int liveChanges_ = 0;
    bool logChanges_ = true;

    int disabled_ = 0;
    bool pendingNotice_ = false;
    std::vector<DataSource*> sources_;
};

// Holds a dataset's view notifications back for a scope (DisableControls / EnableControls).
class ControlsDisabled {
  public:
    explicit ControlsDisabled(ClientDataSet& dataSet) : dataSet_(dataSet) {
        dataSet_.DisableControls();
    }
    ~ControlsDisabled() { dataSet_.EnableControls(); }
    ControlsDisabled(const ControlsDisabled&) = delete;
    ControlsDisabled& operator=(const ControlsDisabled&) = delete;

  private:
    ClientDataSet& dataSet_;
};

}  // namespace lembrete
