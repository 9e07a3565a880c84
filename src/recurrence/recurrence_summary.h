// RecurrenceSummary composes the one-line Portuguese summary of a repetition rule (the editor's
// edtInfo) and the start header of the "Repetições" tab. Every word comes from the editor's
// message table through the lookup it is given (which must ignore the case of keys: "qua",
// "qui", "sex", "sab" and "TMes" are asked in lower or mixed case); the keys and texts are
// kRecurrenceMessageLines. It holds only the lookup; the rule and dates are passed per call.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "data/date.h"
#include "recurrence/recurrence_rule.h"

namespace lembrete {

using MessageLookup = std::function<std::string(std::string_view key)>;

class RecurrenceSummary {
  public:
    explicit RecurrenceSummary(MessageLookup msg);

    // The summary for kind 1 daily, 2 weekly, 3 monthly, 4 yearly (static_cast<int> of a
    // RecurrenceKind); another kind gives an empty text. `intervalText` is the interval as
    // typed: while it is not a whole number in 1..99 no summary can be composed and the result
    // is nullopt (the caller keeps the text it shows). The rule gives weekdays and monthly mode.
    std::optional<std::string> ControlaInfo(int kind, std::string_view intervalText, Date start,
                                            const RecurrenceRule& rule) const;

    // The selected weekdays, Sunday first, joined by ", " ("seg, qua, sex"); empty for none.
    std::string DiasRepetSemana(const RecurrenceRule& rule) const;

    // The monthly summary for day number `day` of the start date.
    std::string Mensal(std::uint16_t day, int interval, Date start,
                       const RecurrenceRule& rule) const;

    // "Inicia em 16 de Julho de 2007".
    std::string startHeader(Date start) const;

  private:
    std::string daily(int interval) const;
    std::string weekly(int interval, const RecurrenceRule& rule) const;
    std::string yearly(int interval, Date start) const;

    MessageLookup msg_;
};

// The interval typed in the spin edit, when it is a whole number in 1..99.
std::optional<int> parseInterval(std::string_view text);

}  // namespace lembrete
