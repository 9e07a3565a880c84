// The texts the recurrence summary, the start header and the editor's check of a weekly rule
// ("SEMANA_DIA") ask for, as message-table lines "KEY|Text". The editor's message table includes
// these lines; the summary looks them up by key through the table, which ignores the case of keys.
#pragma once

#include <array>
#include <string_view>

namespace lembrete {

inline constexpr std::array<std::string_view, 26> kRecurrenceMessageLines = {
    "TDIAS|Todos os dias.",
    "OUTRODIA|Do outro dia.",
    "DO|Do",
    "DIA|dia",
    "TODA|Todo(a)",
    "AO|A(o)",
    "SEMSEG|da semana seguinte.",
    "da|da",
    "SEMANA|semana",
    "DTMES|dia de todo mês.",
    "MESSEG|do mês seguinte.",
    "D|do",
    "MES|mês",
    "TMES|de todo mês.",
    "de|de",
    "TANO|de todo ano.",
    "ANO|ano",
    "INI|Inicia em",
    "DOM|dom",
    "SEG|seg",
    "TER|ter",
    "QUA|qua",
    "QUI|qui",
    "SEX|sex",
    "SAB|sab",
    "SEMANA_DIA|Selecione ao menos um dia da semana.",
};

}  // namespace lembrete
