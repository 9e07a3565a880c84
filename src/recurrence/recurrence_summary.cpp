#include "recurrence/recurrence_summary.h"

#include <array>
#include <charconv>

#include "recurrence/calendar_steps.h"
#include "shell/calendar_names.h"

namespace lembrete {
namespace {

// Message keys of the weekdays, Sunday first; some in lower case as the message table is
// asked for them.
constexpr std::array<std::string_view, 7> kWeekdayKeys = {"DOM", "SEG", "TER", "qua",
                                                          "qui", "sex", "sab"};

std::string number(int n) {
    return std::to_string(n);
}

}  // namespace

std::optional<int> parseInterval(std::string_view text) {
    int value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || text.front() == '-' || ec != std::errc{} ||
        end != text.data() + text.size() || value < RecurrenceRule::kMinInterval ||
        value > RecurrenceRule::kMaxInterval) {
        return std::nullopt;
    }
    return value;
}

RecurrenceSummary::RecurrenceSummary(MessageLookup msg) : msg_(std::move(msg)) {}

std::optional<std::string> RecurrenceSummary::ControlaInfo(int kind, std::string_view intervalText,
                                                           Date start,
                                                           const RecurrenceRule& rule) const {
    auto interval = parseInterval(intervalText);
    if (!interval) {
        return std::nullopt;
    }
    // RecurrenceKind has int as its underlying type: any kind number converts, and those
    // outside 1..4 fall through to the empty text.
    switch (static_cast<RecurrenceKind>(kind)) {
        case RecurrenceKind::Daily:
            return daily(*interval);
        case RecurrenceKind::Weekly:
            return weekly(*interval, rule);
        case RecurrenceKind::Monthly:
            return Mensal(start.day(), *interval, start, rule);
        case RecurrenceKind::Yearly:
            return yearly(*interval, start);
        case RecurrenceKind::None:
            break;
    }
    return std::string();
}

std::string RecurrenceSummary::daily(int interval) const {
    if (interval == 1) {
        return msg_("TDIAS");
    }
    if (interval == 2) {
        return msg_("OUTRODIA");
    }
    return msg_("DO") + " " + number(interval) + "º " + msg_("DIA") + ".";
}

std::string RecurrenceSummary::DiasRepetSemana(const RecurrenceRule& rule) const {
    std::string list;
    for (int day = 1; day <= 7; ++day) {
        if (rule.weekday(day)) {
            list += (list.empty() ? "" : ", ") + msg_(kWeekdayKeys[day - 1]);
        }
    }
    return list;
}

std::string RecurrenceSummary::weekly(int interval, const RecurrenceRule& rule) const {
    std::string days = DiasRepetSemana(rule);
    if (days.empty()) {
        return days;
    }
    if (interval == 1) {
        return msg_("TODA") + " " + days;
    }
    if (interval == 2) {
        return msg_("AO") + " " + days + " " + msg_("SEMSEG");
    }
    return msg_("AO") + " " + days + " " + msg_("da") + " " + number(interval) + "º " +
           msg_("SEMANA") + ".";
}

std::string RecurrenceSummary::Mensal(std::uint16_t day, int interval, Date start,
                                      const RecurrenceRule& rule) const {
    if (rule.monthlyMode() == MonthlyMode::ByWeekday) {
        std::string lead = number(NumSemanaMes(start)) + "ª " + NomeDia(start) + " ";
        if (interval == 1) {
            return lead + msg_("TMes");
        }
        if (interval == 2) {
            return lead + msg_("MESSEG");
        }
        return lead + "do " + number(interval) + "º " + msg_("MES") + ".";
    }
    std::string lead = number(day) + "º ";
    if (interval == 1) {
        return lead + msg_("DTMES");
    }
    if (interval == 2) {
        return lead + msg_("DIA") + " " + msg_("MESSEG");
    }
    return lead + msg_("DIA") + " " + msg_("D") + " " + number(interval) + "º " + msg_("MES") + ".";
}

std::string RecurrenceSummary::yearly(int interval, Date start) const {
    std::string lead = number(start.day()) + " " + msg_("de") + " " + NomeMes(start);
    if (interval == 1) {
        return lead + " " + msg_("TANO");
    }
    if (interval == 2) {
        return lead + " do ano seguinte";
    }
    return lead + " do " + number(interval) + "º ano";
}

std::string RecurrenceSummary::startHeader(Date start) const {
    return msg_("INI") + " " + number(start.day()) + " " + msg_("de") + " " + NomeMes(start) + " " +
           msg_("de") + " " + number(start.year());
}

}  // namespace lembrete
