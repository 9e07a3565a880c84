#include "editor/series_writer.h"

#include <algorithm>

#include "data/reminder_record.h"

namespace lembrete {
namespace {

using R = ReminderRecord;

// Raises a flag for a scope.
class FlagScope {
  public:
    explicit FlagScope(bool& flag) : flag_(flag) { flag_ = true; }
    ~FlagScope() { flag_ = false; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

  private:
    bool& flag_;
};

}  // namespace

SeriesWriter::SeriesWriter(ClientDataSet& reminders, ClientDataSet& descriptions,
                           ReminderGateway& gateway)
    : reminders_(reminders), descriptions_(descriptions), gateway_(gateway) {}

void SeriesWriter::Write(const std::vector<Date>& days, const OccurrenceValues& values) {
    EditedRow edited;
    if (reminders_.State() == DataSetState::Edit && reminders_.RecNo() > 0) {
        edited.number = reminders_.FieldByName(R::NRATIVPESS).AsString();
        edited.stored = reminders_.RowAt(reminders_.RecNo() - 1);
    }
    try {
        // The repetition number is taken even when no occurrence follows.
        const std::string series = gateway_.GetPrxNrRepetAtivPess(values.operatorCode);
        const std::vector<std::string> numbers = reserveNumbers(values.operatorCode, days.size());
        {
            FlagScope posting(posting_);
            ControlsDisabled remindersHeld(reminders_);
            ControlsDisabled descriptionsHeld(descriptions_);
            for (std::size_t i = 0; i < days.size(); ++i) {
                post(days[i], numbers[i], series, values);
            }
            // An edited reminder is stored with its edits even when no occurrence follows.
            if (reminders_.State() == DataSetState::Edit) {
                reminders_.Post();
            }
        }
        send(edited, static_cast<int>(days.size()));
    } catch (...) {
        reminders_.CancelUpdates();
        descriptions_.CancelUpdates();
        throw;
    }
}

std::vector<std::string> SeriesWriter::reserveNumbers(const std::string& operatorCode,
                                                      std::size_t count) {
    std::vector<std::string> numbers;
    numbers.reserve(count);
    while (numbers.size() < count) {
        const int block =
            static_cast<int>(std::min<std::size_t>(count - numbers.size(), kNumbersPerBlock));
        const long long first = std::stoll(gateway_.GetPrxAtivPessoalBloco(operatorCode, block));
        for (int i = 0; i < block; ++i) {
            numbers.push_back(std::to_string(first + i));
        }
    }
    return numbers;
}

void SeriesWriter::post(Date day, const std::string& number, const std::string& series,
                        const OccurrenceValues& values) {
    if (reminders_.State() != DataSetState::Insert) {
        reminders_.Append();
    }
    reminders_.FieldByName(R::CDOPERADOR).SetAsString(values.operatorCode);
    reminders_.FieldByName(R::NRATIVPESS).SetAsString(number);
    reminders_.FieldByName(R::DSREFEATPESS).SetAsString(values.reference);
    reminders_.FieldByName(R::DTATIVPESS).SetAsDateTime(DateTime(day, values.timeOfDay));
    reminders_.FieldByName(R::NRREPETATIVP).SetAsString(series);
    reminders_.FieldByName(R::IDALARATPESS).SetAsString(values.alarm);
    reminders_.FieldByName(R::QTSEGUATPESS).SetValue(values.lead);
    reminders_.FieldByName(R::IDUNITATPESS).SetValue(values.unit);
    reminders_.Post();

    descriptions_.Append();
    descriptions_.FieldByName(R::CDOPERADOR).SetAsString(values.operatorCode);
    descriptions_.FieldByName(R::NRATIVPESS).SetAsString(number);
    descriptions_.FieldByName(DescriptionRecord::TXATIVPESS).SetValue(values.description);
    descriptions_.Post();
}

// Reminders first (a description belongs to a stored reminder), then descriptions.
void SeriesWriter::send(const EditedRow& edited, int occurrences) {
    gateway_.SetAfazer(reminders_, kRefreshHostCache, ReminderGateway::OnFailure::CancelChanges);
    try {
        gateway_.SetDescAFazer(descriptions_, kRefreshHostCache,
                               ReminderGateway::OnFailure::CancelChanges);
    } catch (...) {
        takeBack(edited, occurrences);
        throw;
    }
}

void SeriesWriter::takeBack(const EditedRow& edited, int occurrences) {
    {
        FlagScope posting(posting_);
        ControlsDisabled remindersHeld(reminders_);
        // The occurrences were appended, so they are the last rows.
        for (int i = 0; i < occurrences; ++i) {
            reminders_.Last();
            reminders_.Delete();
        }
        // Posting the stored values again is no change when the row was not edited.
        if (!edited.stored.empty() && reminders_.Locate(R::NRATIVPESS, Variant(edited.number))) {
            reminders_.Edit();
            for (int field = 0; field < reminders_.FieldCount(); ++field) {
                reminders_.Fields(field).SetValue(edited.stored[field]);
            }
            reminders_.Post();
        }
    }
    gateway_.SetAfazer(reminders_, kRefreshHostCache, ReminderGateway::OnFailure::CancelChanges);
}

}  // namespace lembrete
