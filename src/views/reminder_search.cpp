#include "views/reminder_search.h"

#include "data/reminder_record.h"
#include "data/view_calls.h"
#include "toolkit/abandon.h"

namespace lembrete {

std::vector<FieldLayout> ReminderSearch::ResultLayout() {
    auto layout = ReminderRecord::layout();
    layout.push_back(FieldLayout{FieldDef{std::string(SITUACAO), FieldType::String, 9, {}},
                                 "Situação", Alignment::Left, true, DisplayFormat::Value});
    return layout;
}

ReminderSearch::ReminderSearch(ReminderGateway& gateway)
    : gateway_(gateway), page_("cdsPagina", ReminderRecord::layout()) {}

void ReminderSearch::Start(const std::string& operatorCode, const std::string& text,
                           ClientDataSet& results) {
    operatorCode_ = operatorCode;
    text_ = text;
    after_.reset();
    found_ = DataPacket{fieldDefs(ResultLayout()), {}, {}};
    more_ = false;
    readPage(results);
}

void ReminderSearch::More(ClientDataSet& results) {
    if (more_) {
        readPage(results);
    }
}

void ReminderSearch::readPage(ClientDataSet& results) {
    try {
        gateway_.ProcurarAFazer(operatorCode_, text_, after_, page_);
    } catch (const Abandon&) {
        more_ = false;
        found_.rows.clear();
        results.SetData(found_);
        throw;
    }
    const int state = page_.FieldIndex(ReminderRecord::IDSITUATPESS);
    const int number = page_.FieldIndex(ReminderRecord::NRATIVPESS);
    const int when = page_.FieldIndex(ReminderRecord::DTATIVPESS);
    const int firstNew = static_cast<int>(found_.rows.size());
    for (int i = 0; i < page_.RecordCount(); ++i) {
        Row row = page_.RowAt(i);
        const std::string code = row[state].toText();
        row.emplace_back(code == ReminderRecord::kDone      ? "Realizado"
                         : code == ReminderRecord::kPending ? "Pendente"
                                                            : code);
        found_.rows.push_back(std::move(row));
    }
    more_ = page_.RecordCount() >= view_contract::kSearchPageSize;
    if (page_.RecordCount() > 0) {
        const Row& last = page_.RowAt(page_.RecordCount() - 1);
        if (last[when].kind() == VariantKind::DateTime) {
            after_ =
                ReminderGateway::SearchPosition{last[when].asDateTime(), last[number].toText()};
        } else {
            more_ = false;
        }
    }
    results.SetData(found_);
    if (firstNew > 0 && firstNew < results.RecordCount()) {
        results.MoveTo(firstNew + 1);
    }
}

std::string ReminderSearch::Summary() const {
    const auto count = found_.rows.size();
    std::string text = count == 0   ? std::string("Nenhum lembrete encontrado")
                       : count == 1 ? std::string("1 lembrete encontrado")
                                    : std::to_string(count) + " lembretes encontrados";
    if (more_) {
        text += ", os mais recentes primeiro; \"Mais resultados\" traz os seguintes";
    }
    return text + ".";
}

}  // namespace lembrete
