#include "series/series_writer.h"

#include <algorithm>

#include "data/changes_together.h"
#include "data/reminder_record.h"
#include "series/flag_scope.h"

namespace lembrete {
namespace {

using R = ReminderRecord;

}  // namespace

SeriesWriter::SeriesWriter(ClientDataSet& reminders, ClientDataSet& descriptions,
                           ClientDataSet& rules, ReminderGateway& gateway)
    : reminders_(reminders), descriptions_(descriptions), rules_(rules), gateway_(gateway) {}

void SeriesWriter::Write(const std::vector<Date>& days, const OccurrenceValues& values,
                         const RecurrenceRule& rule, DateTime start) {
    changesTogether({&reminders_, &descriptions_, &rules_}, [&] {
        // The repetition number is taken even when no occurrence follows.
        const std::string series = gateway_.GetPrxNrRepetAtivPess(values.operatorCode);
        AppendOccurrences(days, values, series);
        {
            FlagScope posting(posting_);
            // An edited reminder is stored with its edits even when no occurrence follows.
            if (reminders_.State() == DataSetState::Edit) {
                reminders_.Post();
            }
            if (!days.empty()) {
                rules_.Append();
                writeStoredRule(rules_, StoredRule{rule, start}, values.operatorCode, series);
                rules_.Post();
            }
        }
        gateway_.SetSerieAFazer(reminders_, descriptions_, rules_, kRefreshHostCache,
                                ReminderGateway::OnFailure::CancelChanges);
    });
}

void SeriesWriter::AppendOccurrences(const std::vector<Date>& days, const OccurrenceValues& values,
                                     const std::string& series) {
    const std::vector<std::string> numbers =
        ReserveNumbers(gateway_, values.operatorCode, days.size());
    FlagScope posting(posting_);
    ControlsDisabled remindersHeld(reminders_);
    ControlsDisabled descriptionsHeld(descriptions_);
    for (std::size_t i = 0; i < days.size(); ++i) {
        post(days[i], numbers[i], series, values);
    }
}

std::vector<std::string> SeriesWriter::ReserveNumbers(ReminderGateway& gateway,
                                                      const std::string& operatorCode,
                                                      std::size_t count) {
    std::vector<std::string> numbers;
    numbers.reserve(count);
    while (numbers.size() < count) {
        const int block =
            static_cast<int>(std::min<std::size_t>(count - numbers.size(), kNumbersPerBlock));
        const long long first = std::stoll(gateway.GetPrxAtivPessoalBloco(operatorCode, block));
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
    reminders_.FieldByName(R::IDSITUATPESS).SetAsString(std::string(R::kPending));
    reminders_.FieldByName(R::IDALARATPESS).SetAsString(values.alarm);
    reminders_.FieldByName(R::QTSEGUATPESS).SetValue(values.lead);
    reminders_.FieldByName(R::IDUNITATPESS).SetValue(values.unit);
    if (!values.priority.isNull()) {
        reminders_.FieldByName(R::NRPRIOATPESS).SetValue(values.priority);
    }
    reminders_.Post();

    descriptions_.Append();
    descriptions_.FieldByName(R::CDOPERADOR).SetAsString(values.operatorCode);
    descriptions_.FieldByName(R::NRATIVPESS).SetAsString(number);
    descriptions_.FieldByName(DescriptionRecord::TXATIVPESS).SetValue(values.description);
    descriptions_.Post();
}

}  // namespace lembrete
