// How far an alarm's time lies from now, as the alarm window says it: "em 5 minutos",
// "há 2 horas", "agora".
#pragma once

#include <string>

#include "data/date.h"

namespace lembrete {

// Whole units, counted down (4 min 59 s is "4 minutos"): under a minute "agora", then minutes
// up to an hour, hours up to a day, then days. The future takes "em", the past "há".
std::string relativeTimeText(const DateTime& when, const DateTime& now);

}  // namespace lembrete
