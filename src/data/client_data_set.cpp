#include "data/client_data_set.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <stdexcept>

#include "data/data_source.h"
#include "data/field_width_error.h"
#include "data/utf8.h"

namespace lembrete {
namespace {

const Variant kNull;

// A number in the kind its field holds, so that a float field read as 15 from the wire and
// later set to 15.0 compares equal (and an unchanged row is not logged as changed).
Variant numericAs(FieldType type, Variant value) {
    if (type == FieldType::Float && value.kind() == VariantKind::Integer) {
        return Variant(static_cast<double>(value.asInteger()));
    }
    if (type == FieldType::Integer && value.kind() == VariantKind::Float &&
        value.asFloat() == std::trunc(value.asFloat())) {
        return Variant(static_cast<std::int64_t>(value.asFloat()));
    }
    return value;
}

std::uint32_t stepPosition(std::size_t position) {
    return static_cast<std::uint32_t>(position);
}

bool isBlank(std::string_view text) {
    return text.find_first_not_of(' ') == std::string_view::npos;
}

// Equality as Locate sees it: texts regardless of letter case, other values as they are held.
bool sameForLocate(const Variant& stored, const Variant& wanted) {
    if (stored.kind() == VariantKind::String && wanted.kind() == VariantKind::String) {
        return utf8::equalIgnoringCase(stored.asStringView(), wanted.asStringView());
    }
    return stored == wanted;
}

}  // namespace

ClientDataSet::ClientDataSet(std::string name, std::vector<FieldLayout> fields)
    : name_(std::move(name)), fields_(std::move(fields)) {}

ClientDataSet::ClientDataSet(std::string name, const std::vector<FieldDef>& fields)
    : ClientDataSet(std::move(name), fieldLayouts(fields)) {}

ClientDataSet::~ClientDataSet() {
    const auto sources = sources_;
    sources_.clear();
    for (auto* source : sources) {
        source->dataSet_ = nullptr;
        source->notify(DataChange::DataSetChanged);
    }
}

// --- fields ---------------------------------------------------------------------------------

void ClientDataSet::SetFields(std::vector<FieldLayout> fields) {
    if (Active()) {
        throw std::logic_error("Os campos de \"" + name_ + "\" só mudam com o conjunto fechado.");
    }
    fields_ = std::move(fields);
}

std::vector<FieldDef> ClientDataSet::FieldDefs() const {
    return fieldDefs(fields_);
}

Field ClientDataSet::Fields(int index) {
    if (index < 0 || index >= FieldCount()) {
        throw std::out_of_range("Campo de índice " + std::to_string(index) + " inexistente em \"" +
                                name_ + "\".");
    }
    return Field(*this, index);
}

Field ClientDataSet::FieldByName(std::string_view name) {
    const int index = FieldIndex(name);
    if (index < 0) {
        throw std::out_of_range("Campo \"" + std::string(name) + "\" não encontrado em \"" + name_ +
                                "\".");
    }
    return Field(*this, index);
}

int ClientDataSet::FieldIndex(std::string_view name) const {
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        if (utf8::equalIgnoringCase(fields_[i].def.name, name)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

void ClientDataSet::SetFieldLayout(std::string_view name, std::string label, Alignment alignment,
                                   bool visible) {
    auto& layout = fields_.at(FieldByName(name).Index());
    layout.label = std::move(label);
    layout.alignment = alignment;
    layout.visible = visible;
}

// --- open / close -----------------------------------------------------------------------------

void ClientDataSet::SetActive(bool active) {
    if (active) {
        Open();
    } else {
        Close();
    }
}

void ClientDataSet::Open() {
    if (Active()) {
        return;
    }
    cursor_ = 0;
    bof_ = true;
    eof_ = rows_.empty();
    setState(DataSetState::Browse);
    notify(DataChange::DataSetChanged);
    fire(AfterOpen);
    scrolled();
}

void ClientDataSet::Close() {
    if (!Active()) {
        return;
    }
    ++generation_;
    buffer_.clear();
    modified_ = false;
    rows_.clear();
    clearLog();
    forgetIds(nextId_);
    cursor_ = 0;
    bof_ = eof_ = true;
    setState(DataSetState::Inactive);
    notify(DataChange::DataSetChanged);
}

void ClientDataSet::SetData(const DataPacket& packet) {
    for (const auto& row : packet.rows) {
        if (row.size() != packet.fields.size()) {
            throw std::invalid_argument("Pacote de dados inválido para \"" + name_ +
                                        "\": linha com número de valores diferente dos campos.");
        }
    }
    std::vector<FieldLayout> layouts = fieldLayouts(packet.fields);
    for (auto& layout : layouts) {
        if (const int known = FieldIndex(layout.def.name); known >= 0) {
            layout.label = fields_[known].label;
            layout.alignment = fields_[known].alignment;
            layout.visible = fields_[known].visible;
            layout.display = fields_[known].display;
        }
    }
    std::vector<Record> rows;
    rows.reserve(packet.rows.size());
    const auto firstNewId = nextId_;
    for (const auto& row : packet.rows) {
        Row values = row;
        for (std::size_t i = 0; i < layouts.size(); ++i) {
            values[i] = numericAs(layouts[i].def.type, std::move(values[i]));
        }
        rows.push_back(Record{nextId_++, std::make_shared<const Row>(std::move(values))});
    }

    ++generation_;
    buffer_.clear();
    modified_ = false;
    fields_ = std::move(layouts);
    rows_ = std::move(rows);
    arrange();
    clearLog();
    forgetIds(firstNewId);
    cursor_ = 0;
    bof_ = true;
    eof_ = rows_.empty();
    setState(DataSetState::Browse);
    notify(DataChange::DataSetChanged);
    fire(AfterOpen);
    scrolled();
}

DataPacket ClientDataSet::Data() const {
    DataPacket packet;
    packet.fields = FieldDefs();
    packet.rows.reserve(rows_.size());
    for (const auto& record : rows_) {
        packet.rows.push_back(*record.values);
    }
    return packet;
}

// --- navigation -------------------------------------------------------------------------------

void ClientDataSet::First() {
    requireActive();
    storePending();
    cursor_ = 0;
    bof_ = true;
    eof_ = rows_.empty();
    scrolled();
}

void ClientDataSet::Last() {
    requireActive();
    storePending();
    cursor_ = rows_.empty() ? 0 : rows_.size() - 1;
    eof_ = true;
    bof_ = rows_.empty();
    scrolled();
}

void ClientDataSet::Next() {
    requireActive();
    storePending();
    if (cursor_ + 1 < rows_.size()) {
        ++cursor_;
        bof_ = eof_ = false;
        scrolled();
    } else {
        eof_ = true;
    }
}

void ClientDataSet::Prior() {
    requireActive();
    storePending();
    if (cursor_ > 0 && !rows_.empty()) {
        --cursor_;
        bof_ = eof_ = false;
        scrolled();
    } else {
        bof_ = true;
    }
}

bool ClientDataSet::MoveTo(int recNo) {
    requireActive();
    storePending();
    if (recNo < 1 || recNo > RecordCount()) {
        return false;
    }
    cursor_ = static_cast<std::size_t>(recNo - 1);
    bof_ = eof_ = false;
    scrolled();
    return true;
}

int ClientDataSet::RecNo() const {
    if (state_ == DataSetState::Insert) {
        return static_cast<int>(insertAt_) + 1;
    }
    return (!Active() || rows_.empty()) ? 0 : static_cast<int>(cursor_) + 1;
}

const Row& ClientDataSet::RowAt(int index) const {
    if (index < 0 || index >= RecordCount()) {
        throw std::out_of_range("Linha " + std::to_string(index) + " inexistente em \"" + name_ +
                                "\".");
    }
    return *rows_[static_cast<std::size_t>(index)].values;
}

bool ClientDataSet::Locate(std::string_view fieldName, const Variant& value) {
    requireActive();
    const int index = FieldByName(fieldName).Index();
    storePending();
    Variant wanted;
    try {
        wanted = converted(index, value);
    } catch (const std::invalid_argument&) {
        return false;  // no value of the field can equal it
    }
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        if (sameForLocate((*rows_[i].values)[index], wanted)) {
            cursor_ = i;
            bof_ = eof_ = false;
            scrolled();
            return true;
        }
    }
    return false;
}

// --- editing ----------------------------------------------------------------------------------

void ClientDataSet::Append() {
    requireActive();
    storePending();
    startInsert(rows_.size());
}

void ClientDataSet::Insert() {
    requireActive();
    storePending();
    startInsert(rows_.empty() ? 0 : cursor_);
}

void ClientDataSet::startInsert(std::size_t position) {
    fire(BeforeInsert);
    buffer_.assign(fields_.size(), Variant());
    insertAt_ = position;
    setState(DataSetState::Insert);
    try {
        fire(OnNewRecord);
    } catch (...) {
        buffer_.clear();
        setState(DataSetState::Browse);
        throw;
    }
    // Defaults set by OnNewRecord alone do not make the row worth storing.
    modified_ = false;
    fire(AfterInsert);
}

void ClientDataSet::Edit() {
    requireActive();
    if (state_ == DataSetState::Edit || state_ == DataSetState::Insert) {
        return;
    }
    if (rows_.empty()) {
        Append();
        return;
    }
    fire(BeforeEdit);
    buffer_ = *rows_[cursor_].values;
    modified_ = false;
    setState(DataSetState::Edit);
    fire(AfterEdit);
}

void ClientDataSet::Post() {
    if (state_ != DataSetState::Edit && state_ != DataSetState::Insert) {
        throw std::logic_error("\"" + name_ + "\" não está em edição ou inclusão.");
    }
    fire(BeforePost);
    if (state_ == DataSetState::Insert) {
        const auto position = std::min(insertAt_, rows_.size());
        rows_.insert(rows_.begin() + static_cast<std::ptrdiff_t>(position),
                     Record{nextId_++, std::make_shared<const Row>(std::move(buffer_))});
        if (logChanges_) {
            logInsert(rows_[position]);
            undo_.push_back(UndoStep{Record{rows_[position].id, {}}, stepPosition(position),
                                     ChangeKind::Insert});
        }
        cursor_ = position;
    } else if (state_ == DataSetState::Edit) {
        auto& record = rows_[cursor_];
        if (buffer_ != *record.values) {
            Record before{record.id, std::move(record.values)};
            record.values = std::make_shared<const Row>(std::move(buffer_));
            if (logChanges_) {
                logUpdate(before, record.values);
                undo_.push_back(
                    UndoStep{std::move(before), stepPosition(cursor_), ChangeKind::Update});
            }
        }
    } else {
        return;  // BeforePost itself ended the edit
    }
    buffer_.clear();
    modified_ = false;
    bof_ = eof_ = false;
    setState(DataSetState::Browse);
    notify(DataChange::DataSetChanged);
    fire(AfterPost);
}

void ClientDataSet::Cancel() {
    if (state_ != DataSetState::Edit && state_ != DataSetState::Insert) {
        return;
    }
    fire(BeforeCancel);
    buffer_.clear();
    modified_ = false;
    setState(DataSetState::Browse);
    notify(DataChange::RecordChanged);
    fire(AfterCancel);
}

void ClientDataSet::Delete() {
    requireActive();
    if (state_ == DataSetState::Insert) {
        Cancel();
        return;
    }
    if (rows_.empty()) {
        throw std::logic_error("Não há registro a excluir em \"" + name_ + "\".");
    }
    fire(BeforeDelete);
    buffer_.clear();
    modified_ = false;
    const auto position = cursor_;
    Record before = std::move(rows_[position]);
    rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(position));
    if (logChanges_) {
        logDelete(before);
        undo_.push_back(UndoStep{std::move(before), stepPosition(position), ChangeKind::Delete});
    }
    if (cursor_ >= rows_.size() && !rows_.empty()) {
        cursor_ = rows_.size() - 1;
    }
    bof_ = eof_ = rows_.empty();
    setState(DataSetState::Browse);
    notify(DataChange::DataSetChanged);
    const auto generation = generation_;
    fire(AfterDelete);
    // A handler that reloaded or closed the dataset has already told of the new position.
    if (generation == generation_) {
        scrolled();
    }
}

// --- field values ------------------------------------------------------------------------------

const Variant& ClientDataSet::fieldValue(int index) const {
    if (state_ == DataSetState::Edit || state_ == DataSetState::Insert) {
        return buffer_.at(static_cast<std::size_t>(index));
    }
    if (!Active() || rows_.empty()) {
        return kNull;
    }
    return rows_[cursor_].values->at(static_cast<std::size_t>(index));
}

void ClientDataSet::setFieldValue(int index, Variant value) {
    if (state_ != DataSetState::Edit && state_ != DataSetState::Insert) {
        throw std::logic_error("\"" + name_ + "\" não está em edição ou inclusão.");
    }
    buffer_.at(static_cast<std::size_t>(index)) = converted(index, std::move(value));
    modified_ = true;
    notify(DataChange::RecordChanged);
}

Variant ClientDataSet::converted(int index, Variant value) const {
    const auto& layout = fields_[static_cast<std::size_t>(index)];
    const auto refuse = [&]() -> Variant {
        throw std::invalid_argument("Valor inválido para o campo \"" + layout.displayLabel() +
                                    "\": \"" + value.toText() + "\".");
    };
    const auto kind = value.kind();
    if (kind == VariantKind::Null) {
        return value;
    }
    // Blank text clears a field that does not hold text.
    const bool blankText = kind == VariantKind::String && isBlank(value.asStringView());
    switch (layout.def.type) {
        case FieldType::String: {
            if (kind == VariantKind::Packet) {
                return refuse();
            }
            // Text is kept as it came, not copied.
            Variant text = kind == VariantKind::String ? std::move(value) : Variant(value.toText());
            if (layout.def.size > 0 &&
                utf8::length(text.asStringView()) > static_cast<std::size_t>(layout.def.size)) {
                throw FieldWidthError(layout.displayLabel(), layout.def.size);
            }
            return text;
        }
        case FieldType::Integer: {
            if (kind == VariantKind::Integer || blankText) {
                return blankText ? Variant() : value;
            }
            if (kind != VariantKind::Float && kind != VariantKind::String) {
                return refuse();
            }
            double number = 0;
            try {
                number = value.toNumber();
            } catch (const std::invalid_argument&) {
                return refuse();
            }
            if (number != std::trunc(number)) {
                return refuse();
            }
            return Variant(static_cast<std::int64_t>(number));
        }
        case FieldType::Float:
            if (blankText) {
                return Variant();
            }
            if (kind != VariantKind::Integer && kind != VariantKind::Float &&
                kind != VariantKind::String) {
                return refuse();
            }
            try {
                return Variant(value.toNumber());
            } catch (const std::invalid_argument&) {
                return refuse();
            }
        case FieldType::Boolean:
            if (kind == VariantKind::Boolean || blankText) {
                return blankText ? Variant() : value;
            }
            if (kind == VariantKind::String) {
                if (utf8::equalIgnoringCase(value.asStringView(), "true")) {
                    return Variant(true);
                }
                if (utf8::equalIgnoringCase(value.asStringView(), "false")) {
                    return Variant(false);
                }
            }
            return refuse();
        case FieldType::DateTime:
            if (kind == VariantKind::DateTime || blankText) {
                return blankText ? Variant() : value;
            }
            if (kind == VariantKind::String) {
                if (auto parsed = DateTime::parse(value.asStringView())) {
                    return Variant(*parsed);
                }
            }
            if (kind == VariantKind::Integer || kind == VariantKind::Float) {
                return Variant(DateTime::fromDayNumber(value.toNumber()));
            }
            return refuse();
        case FieldType::Blob:
            if (kind == VariantKind::Blob) {
                return value;
            }
            if (kind == VariantKind::String) {
                return Variant(Blob{value.asString()});
            }
            return refuse();
    }
    return refuse();
}

// --- change log --------------------------------------------------------------------------------

ClientDataSet::LogEntry& ClientDataSet::entryFor(std::uint64_t id, ChangeKind kind,
                                                 const Values& oldValues) {
    const std::size_t slot = id - firstId_;
    if (slot < logSlots_.size() && logSlots_[slot] != 0) {
        return log_[logSlots_[slot] - 1];
    }
    if (slot >= logSlots_.size()) {
        logSlots_.resize(slot + 1);
    }
    logSlots_[slot] = log_.size() + 1;
    ++liveChanges_;
    return log_.emplace_back(LogEntry{id, oldValues, {}, kind, true});
}

void ClientDataSet::logInsert(const Record& record) {
    entryFor(record.id, ChangeKind::Insert, {}).newValues = record.values;
}

void ClientDataSet::logUpdate(const Record& before, const Values& after) {
    auto& entry = entryFor(before.id, ChangeKind::Update, before.values);
    entry.newValues = after;
    if (entry.kind == ChangeKind::Update && *entry.newValues == *entry.oldValues) {
        dropEntry(before.id);  // edited back to what the server holds
    }
}

void ClientDataSet::logDelete(const Record& before) {
    auto& entry = entryFor(before.id, ChangeKind::Delete, before.values);
    if (entry.kind == ChangeKind::Insert) {
        dropEntry(before.id);  // the server never saw the row
        return;
    }
    // An updated row is deleted with the values the server holds, not the edited ones.
    entry.kind = ChangeKind::Delete;
    entry.newValues.reset();
}

void ClientDataSet::dropEntry(std::uint64_t id) {
    auto& position = logSlots_[id - firstId_];
    auto& entry = log_[position - 1];
    entry.live = false;
    entry.oldValues.reset();
    entry.newValues.reset();
    position = 0;
    --liveChanges_;
}

void ClientDataSet::forgetIds(std::uint64_t firstId) {
    logSlots_.clear();
    firstId_ = firstId;
}

void ClientDataSet::clearLog() {
    for (const auto& entry : log_) {
        logSlots_[entry.id - firstId_] = 0;
    }
    log_.clear();
    undo_.clear();
    liveChanges_ = 0;
}

DataPacket ClientDataSet::Delta() const {
    DataPacket delta;
    delta.fields = FieldDefs();
    delta.changes.reserve(static_cast<std::size_t>(liveChanges_));
    for (const auto& entry : log_) {
        if (entry.live) {
            delta.changes.push_back(Change{entry.kind, entry.oldValues, entry.newValues});
        }
    }
    return delta;
}

void ClientDataSet::MergeChangeLog() {
    clearLog();
}

void ClientDataSet::CancelUpdates() {
    if (state_ == DataSetState::Edit || state_ == DataSetState::Insert) {
        buffer_.clear();
        modified_ = false;
        setState(DataSetState::Browse);
    }
    // Steps are undone newest first, so each finds its row where it left it; rows posted while
    // logging was off may have shifted positions, hence the search by id as a fallback.
    const auto find = [this](const UndoStep& step) {
        if (step.position < rows_.size() && rows_[step.position].id == step.before.id) {
            return rows_.begin() + static_cast<std::ptrdiff_t>(step.position);
        }
        return std::find_if(rows_.begin(), rows_.end(),
                            [&](const Record& r) { return r.id == step.before.id; });
    };
    for (auto step = undo_.rbegin(); step != undo_.rend(); ++step) {
        switch (step->kind) {
            case ChangeKind::Insert:
                if (auto it = find(*step); it != rows_.end()) {
                    rows_.erase(it);
                }
                break;
            case ChangeKind::Update:
                if (auto it = find(*step); it != rows_.end()) {
                    *it = std::move(step->before);
                }
                break;
            case ChangeKind::Delete: {
                const auto position = std::min<std::size_t>(step->position, rows_.size());
                rows_.insert(rows_.begin() + static_cast<std::ptrdiff_t>(position),
                             std::move(step->before));
                break;
            }
        }
    }
    clearLog();
    arrange();
    if (cursor_ >= rows_.size()) {
        cursor_ = rows_.empty() ? 0 : rows_.size() - 1;
    }
    bof_ = eof_ = rows_.empty();
    notify(DataChange::DataSetChanged);
}

// --- order -----------------------------------------------------------------------------------

std::vector<int> ClientDataSet::SetOrder(std::optional<RowOrder> order) {
    storePending();
    order_ = std::move(order);
    std::vector<int> placed = arrange();
    if (!rows_.empty()) {
        cursor_ = static_cast<std::size_t>(placed[cursor_]);
    }
    if (Active()) {
        notify(DataChange::DataSetChanged);
    }
    return placed;
}

std::vector<int> ClientDataSet::arrange() {
    std::vector<int> placed(rows_.size());
    std::iota(placed.begin(), placed.end(), 0);
    const int field = order_ ? FieldIndex(order_->field) : -1;
    if (field < 0) {
        return placed;
    }
    // Each key is worked out once, not once per comparison.
    std::vector<std::pair<OrderKey, std::size_t>> keys;
    keys.reserve(rows_.size());
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        keys.emplace_back(OrderKey((*rows_[i].values)[static_cast<std::size_t>(field)]), i);
    }
    const bool descending = order_->descending;
    std::stable_sort(keys.begin(), keys.end(), [descending](const auto& a, const auto& b) {
        return descending ? b.first < a.first : a.first < b.first;
    });
    std::vector<Record> sorted;
    sorted.reserve(rows_.size());
    for (std::size_t n = 0; n < keys.size(); ++n) {
        placed[keys[n].second] = static_cast<int>(n);
        sorted.push_back(std::move(rows_[keys[n].second]));
    }
    rows_ = std::move(sorted);
    return placed;
}

// --- views and events --------------------------------------------------------------------------

void ClientDataSet::DisableControls() {
    ++disabled_;
}

void ClientDataSet::EnableControls() {
    if (disabled_ == 0 || --disabled_ > 0) {
        return;
    }
    if (pendingNotice_) {
        pendingNotice_ = false;
        notify(DataChange::DataSetChanged);
    }
}

void ClientDataSet::requireActive() const {
    if (!Active()) {
        throw std::logic_error("\"" + name_ + "\" está fechado.");
    }
}

void ClientDataSet::storePending() {
    if (state_ == DataSetState::Edit || state_ == DataSetState::Insert) {
        if (modified_) {
            Post();
        } else {
            Cancel();
        }
    }
}

void ClientDataSet::fire(const Event& event) {
    if (event) {
        event(*this);
    }
}

void ClientDataSet::notify(DataChange change) {
    if (disabled_ > 0) {
        pendingNotice_ = true;
        return;
    }
    // A view may detach a source (or destroy it) while being told: only still-attached
    // sources are told.
    const auto sources = sources_;
    for (auto* source : sources) {
        if (std::find(sources_.begin(), sources_.end(), source) != sources_.end()) {
            source->notify(change);
        }
    }
}

void ClientDataSet::setState(DataSetState state) {
    if (state_ != state) {
        state_ = state;
        notify(DataChange::StateChanged);
    }
}

void ClientDataSet::scrolled() {
    notify(DataChange::Scrolled);
    fire(AfterScroll);
}

void ClientDataSet::attach(DataSource* source) {
    sources_.push_back(source);
}

void ClientDataSet::detach(DataSource* source) {
    std::erase(sources_, source);
}

}  // namespace lembrete
