#include "interchange/reminder_importer.h"

#include <map>
#include <set>

#include "data/changes_together.h"
#include "data/import_key_record.h"
#include "data/reminder_record.h"
#include "data/series_record.h"
#include "data/supported_dates.h"
#include "data/utf8.h"
#include "interchange/reminder_uid.h"
#include "series/series_writer.h"

namespace lembrete {
namespace {

using R = ReminderRecord;

constexpr std::size_t kProgressStep = 500;

// The first `width` characters of `text` (UTF-8).
std::string cut(const std::string& text, std::size_t width) {
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80 && characters++ == width) {
            return text.substr(0, i);
        }
    }
    return text;
}

// Adds the series rule `text` (CalendarEntry::rule) of series `series` to `rules`; a text that
// is not a rule the server would take adds nothing (the series is then stored without one).
void appendRule(ClientDataSet& rules, const std::string& text, const std::string& operatorCode,
                const std::string& series) {
    using S = SeriesRecord;
    std::map<std::string, std::string, std::less<>> values;
    for (std::size_t at = 0; at < text.size();) {
        const auto end = std::min(text.find(';', at), text.size());
        const std::string pair = text.substr(at, end - at);
        const auto equals = pair.find('=');
        if (equals != std::string::npos) {
            values[pair.substr(0, equals)] = pair.substr(equals + 1);
        }
        at = end + 1;
    }
    const auto value = [&](std::string_view name) {
        const auto found = values.find(name);
        return found != values.end() ? found->second : std::string();
    };
    const auto start = DateTime::parse(value(S::DTINICREPET));
    const std::string last = value(S::DTTERMREPET);
    const auto end = DateTime::parse(last);
    if (!S::isKind(value(S::IDTIPOREPET)) || !S::isInterval(value(S::NRINTERREPET)) ||
        !S::isWeekdays(value(S::IDDIASREPET)) || !S::isMonthlyMode(value(S::IDMODOMENSAL)) ||
        !start || (!last.empty() && !end)) {
        return;
    }
    rules.Append();
    rules.FieldByName(R::CDOPERADOR).SetAsString(operatorCode);
    rules.FieldByName(R::NRREPETATIVP).SetAsString(series);
    for (const auto name : {S::IDTIPOREPET, S::NRINTERREPET, S::IDDIASREPET, S::IDMODOMENSAL}) {
        rules.FieldByName(name).SetAsString(value(name));
    }
    rules.FieldByName(S::DTINICREPET).SetAsDateTime(*start);
    rules.FieldByName(S::DTTERMREPET).SetValue(end ? Variant(*end) : Variant());
    rules.Post();
}

std::string plural(std::size_t count, const char* one, const char* many) {
    return formatCount(count) + " " + (count == 1 ? one : many);
}

}  // namespace

std::string formatCount(std::size_t count) {
    std::string digits = std::to_string(count);
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3) {
        digits.insert(static_cast<std::size_t>(at), ".");
    }
    return digits;
}

std::size_t ImportPreview::refusedCount() const {
    std::size_t count = 0;
    for (const auto& refusal : refused) {
        count += static_cast<std::size_t>(refusal.count);
    }
    return count;
}

std::string ImportPreview::text() const {
    std::string text =
        plural(toAdd + toUpdate, "lembrete será importado", "lembretes serão importados");
    if (toUpdate > 0) {
        text += " (" + plural(toAdd, "novo", "novos") + ", " +
                plural(toUpdate, "já importado antes, que será atualizado",
                       "já importados antes, que serão atualizados") +
                ")";
    }
    text += ".";
    if (first && last) {
        text += "\nPeríodo: de " + first->format() + " a " + last->format() + ".";
    }
    if (longReferences > 0) {
        text += "\n" + plural(longReferences, "referência passa", "referências passam") + " de " +
                std::to_string(R::kReferenceWidth) + " caracteres.";
    }
    if (!refused.empty()) {
        text += "\n" + plural(refusedCount(), "será recusado", "serão recusados") + ":";
        for (const auto& refusal : refused) {
            text += "\n- " + refusal.event + ": " + refusal.reason +
                    (refusal.count > 1 ? " (" + formatCount(refusal.count) + " ocorrências)" : "");
        }
    }
    return text;
}

std::string ImportReport::text() const {
    return plural(imported, "lembrete importado", "lembretes importados") + ", " +
           plural(refused, "recusado", "recusados");
}

ReminderImporter::ReminderImporter(ReminderGateway& gateway, std::string operatorCode)
    : gateway_(gateway),
      operatorCode_(std::move(operatorCode)),
      reminders_("cdsImportAFazer", R::layout()),
      descriptions_("cdsImportDesc", DescriptionRecord::layout()),
      keys_("cdsImportChave", ImportKeyRecord::layout()),
      rules_("cdsImportRegra", SeriesRecord::layout()) {}

ReminderImporter::Plan ReminderImporter::plan(const CalendarContents& contents,
                                              bool cutLongReferences) {
    gateway_.GetChavesAFazer(operatorCode_, keys_);
    std::map<std::string, std::string> imported;
    for (const auto& row : keys_.Data().rows) {
        imported.emplace(row[2].asString(), row[1].asString());
    }
    Plan plan;
    plan.preview.refused = contents.refused;
    std::set<std::size_t> longOnes(contents.longReferences.begin(), contents.longReferences.end());
    std::set<std::string> seen;
    bool storedRead = false;
    for (std::size_t i = 0; i < contents.entries.size(); ++i) {
        const CalendarEntry& entry = contents.entries[i];
        const std::string key = ImportKeyRecord::key(entry.uid, entry.occurrence);
        if (longOnes.count(i)) {
            ++plan.preview.longReferences;
            if (!cutLongReferences) {
                plan.preview.refused.push_back(
                    {cut(entry.reference, 40) + "…",
                     "a referência passa de " + std::to_string(R::kReferenceWidth) + " caracteres",
                     1});
                continue;
            }
        }
        if (utf8::length(key) > static_cast<std::size_t>(ImportKeyRecord::kKeyWidth)) {
            plan.preview.refused.push_back(
                {entry.reference, "o identificador (UID) é longo demais", 1});
            continue;
        }
        if (!seen.insert(key).second) {
            plan.preview.refused.push_back({entry.reference, "aparece repetido no arquivo", 1});
            continue;
        }
        const auto earlier = imported.find(key);
        std::string number = earlier != imported.end() ? earlier->second : std::string();
        if (number.empty() && entry.occurrence.empty()) {
            // One of the operator's own reminders, if it is still stored.
            number = reminder_uid::ownNumber(entry.uid, operatorCode_);
            if (!number.empty()) {
                if (!storedRead) {
                    loadStoredRows();
                    storedRead = true;
                }
                if (!reminders_.Locate(R::NRATIVPESS, Variant(number))) {
                    number.clear();
                }
            }
        }
        ++(number.empty() ? plan.preview.toAdd : plan.preview.toUpdate);
        const Date day = entry.start.date();
        plan.preview.first = plan.preview.first ? std::min(*plan.preview.first, day) : day;
        plan.preview.last = plan.preview.last ? std::max(*plan.preview.last, day) : day;
        plan.entries.push_back(&entry);
        plan.numbers.push_back(number);
    }
    return plan;
}

ImportPreview ReminderImporter::preview(const CalendarContents& contents, bool cutLongReferences) {
    return plan(contents, cutLongReferences).preview;
}

void ReminderImporter::loadStoredRows() {
    ReminderFilter all;
    all.operatorCode = operatorCode_;
    all.date = kFirstSupportedDate;
    all.showDone = true;
    all.showPending = true;
    all.fromDateOn = true;
    gateway_.GetAFazer(all, reminders_);
}

ImportReport ReminderImporter::write(const CalendarContents& contents, bool cutLongReferences,
                                     const Progress& progress) {
    Plan planned = plan(contents, cutLongReferences);
    const std::size_t total = planned.entries.size();
    if (planned.preview.toUpdate > 0) {
        loadStoredRows();
    } else {
        reminders_.Close();
        reminders_.Open();
    }
    // A reminder deleted since its import takes its origin with it, so a stored origin always
    // names a stored row; one gone meanwhile is added again.
    std::size_t toAdd = 0;
    for (auto& number : planned.numbers) {
        if (!number.empty() && !reminders_.Locate(R::NRATIVPESS, Variant(number))) {
            number.clear();
        }
        toAdd += number.empty() ? 1 : 0;
    }
    descriptions_.Close();
    descriptions_.Open();
    keys_.Close();
    keys_.Open();
    rules_.Close();
    rules_.Open();
    changesTogether({&reminders_, &descriptions_, &keys_, &rules_}, [&] {
        const auto numbers = SeriesWriter::ReserveNumbers(gateway_, operatorCode_, toAdd);
        std::size_t nextNumber = 0;
        std::map<std::string, std::string> seriesNumbers;
        ControlsDisabled remindersHeld(reminders_);
        ControlsDisabled descriptionsHeld(descriptions_);
        for (std::size_t i = 0; i < total; ++i) {
            const CalendarEntry& entry = *planned.entries[i];
            const bool update = !planned.numbers[i].empty();
            if (update) {
                reminders_.Locate(R::NRATIVPESS, Variant(planned.numbers[i]));
            }
            std::string series;
            if (!update && !entry.series.empty()) {
                auto& issued = seriesNumbers[entry.series];
                if (issued.empty()) {
                    issued = gateway_.GetPrxNrRepetAtivPess(operatorCode_);
                    if (!entry.rule.empty()) {
                        appendRule(rules_, entry.rule, operatorCode_, issued);
                    }
                }
                series = issued;
            }
            post(entry, update ? planned.numbers[i] : numbers.at(nextNumber++), update, series,
                 cutLongReferences);
            if (progress && (i + 1) % kProgressStep == 0 && i + 1 < total) {
                progress(i + 1, total);
            }
        }
        gateway_.SetImportAFazer(reminders_, descriptions_, keys_, rules_, kRefreshHostCache,
                                 ReminderGateway::OnFailure::CancelChanges);
    });
    if (progress) {
        progress(total, total);
    }
    return {total, planned.preview.refusedCount()};
}

void ReminderImporter::post(const CalendarEntry& entry, const std::string& number, bool update,
                            const std::string& series, bool cutLong) {
    if (update) {
        reminders_.Edit();
    } else {
        reminders_.Append();
        reminders_.FieldByName(R::CDOPERADOR).SetAsString(operatorCode_);
        reminders_.FieldByName(R::NRATIVPESS).SetAsString(number);
        reminders_.FieldByName(R::NRREPETATIVP)
            .SetValue(series.empty() ? Variant() : Variant(series));
    }
    reminders_.FieldByName(R::DSREFEATPESS)
        .SetAsString(cutLong ? cut(entry.reference, R::kReferenceWidth) : entry.reference);
    reminders_.FieldByName(R::DTATIVPESS).SetAsDateTime(entry.start);
    reminders_.FieldByName(R::IDSITUATPESS)
        .SetAsString(std::string(entry.done ? R::kDone : R::kPending));
    reminders_.FieldByName(R::IDALARATPESS)
        .SetAsString(std::string(entry.alarm && !entry.done ? R::kAlarmOn : R::kAlarmOff));
    reminders_.FieldByName(R::QTSEGUATPESS)
        .SetValue(entry.lead ? Variant(static_cast<double>(*entry.lead)) : Variant());
    reminders_.FieldByName(R::IDUNITATPESS).SetAsString(entry.unit);
    // No priority is stored as null.
    reminders_.FieldByName(R::NRPRIOATPESS)
        .SetValue(entry.priority.empty() ? Variant() : Variant(entry.priority));
    reminders_.Post();

    descriptions_.Append();
    descriptions_.FieldByName(R::CDOPERADOR).SetAsString(operatorCode_);
    descriptions_.FieldByName(R::NRATIVPESS).SetAsString(number);
    descriptions_.FieldByName(DescriptionRecord::TXATIVPESS)
        .SetValue(Variant(Blob{entry.description}));
    descriptions_.Post();

    if (!update) {
        keys_.Append();
        keys_.FieldByName(R::CDOPERADOR).SetAsString(operatorCode_);
        keys_.FieldByName(R::NRATIVPESS).SetAsString(number);
        keys_.FieldByName(ImportKeyRecord::DSCHAVEICAL)
            .SetAsString(ImportKeyRecord::key(entry.uid, entry.occurrence));
        keys_.Post();
    }
}

}  // namespace lembrete
