// ReminderSearch: "Procurar em todas as datas", the search over every date of the operator.
//
// Each page comes from one ProcurarAFazer call (at most view_contract::kSearchPageSize rows,
// newest first, reference or description containing the text, case and accents ignored); More
// asks for the page after the last row received and adds it to the results, so the list grows a
// page at a time and no reply is larger than a page. The results carry the reminder's fields
// and SITUACAO, its state in words ("Pendente", "Realizado").
//
// Holds the text and the position of the next page; the results dataset belongs to the caller.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/client_data_set.h"
#include "data/field_layout.h"
#include "data/reminder_gateway.h"

namespace lembrete {

class ReminderSearch {
  public:
    static constexpr std::string_view SITUACAO = "SITUACAO";
    // The reminder's fields, then SITUACAO.
    static std::vector<FieldLayout> ResultLayout();

    explicit ReminderSearch(ReminderGateway& gateway);

    // The first page of the reminders of `operatorCode` that contain `text`, replacing
    // `results`. Abandons (after CheckResultServ reported) when the call fails; the results are
    // then empty.
    void Start(const std::string& operatorCode, const std::string& text, ClientDataSet& results);
    // The next page, added after the rows `results` holds; nothing when there is none.
    void More(ClientDataSet& results);
    // True when the last page was full: there may be more.
    bool HasMore() const { return more_; }
    // "Nenhum lembrete encontrado.", "1 lembrete encontrado.", "N lembretes encontrados."
    // (", mostrando os mais recentes" and a hint at "Mais resultados" while there may be more).
    std::string Summary() const;

  private:
    void readPage(ClientDataSet& results);

    ReminderGateway& gateway_;
    std::string operatorCode_;
    std::string text_;
    std::optional<ReminderGateway::SearchPosition> after_;
    DataPacket found_;
    ClientDataSet page_;
    bool more_ = false;
};

}  // namespace lembrete
