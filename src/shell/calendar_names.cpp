#include "shell/calendar_names.h"

#include <array>
#include <stdexcept>

namespace lembrete {
namespace {

constexpr std::array<const char*, 12> kMonths = {"Janeiro",  "Fevereiro", "Março",    "Abril",
                                                 "Maio",     "Junho",     "Julho",    "Agosto",
                                                 "Setembro", "Outubro",   "Novembro", "Dezembro"};

constexpr std::array<const char*, 7> kWeekdays = {"Domingo", "Segunda", "Terça", "Quarta",
                                                  "Quinta",  "Sexta",   "Sábado"};

}  // namespace

std::string monthName(int month) {
    if (month < 1 || month > 12) {
        throw std::out_of_range("mês fora de 1..12: " + std::to_string(month));
    }
    return kMonths[month - 1];
}

std::string weekdayName(int weekday) {
    if (weekday < 1 || weekday > 7) {
        throw std::out_of_range("dia da semana fora de 1..7: " + std::to_string(weekday));
    }
    return kWeekdays[weekday - 1];
}

std::string NomeMes(Date date) {
    return monthName(date.month());
}

std::string NomeDia(Date date) {
    return weekdayName(date.weekday());
}

}  // namespace lembrete
