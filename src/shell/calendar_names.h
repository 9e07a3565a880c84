// Portuguese names of months and weekdays, as the host's NomeMes and NomeDia give them.
#pragma once

#include <string>

#include "data/date.h"

namespace lembrete {

// "Janeiro" .. "Dezembro".
std::string NomeMes(Date date);
std::string monthName(int month);  // 1..12; throws std::out_of_range otherwise

// "Domingo", "Segunda", "Terça", "Quarta", "Quinta", "Sexta", "Sábado".
std::string NomeDia(Date date);
std::string weekdayName(int weekday);  // 1 = Sunday .. 7; throws std::out_of_range otherwise

}  // namespace lembrete
