// The name of this machine's time zone ("America/Sao_Paulo"): reminders hold local times, and
// this is the zone they are written in and read into.
#pragma once

#include <string>

namespace lembrete {

// $TZ when it names a zone, else the zone /etc/localtime links to, else "UTC".
std::string localZoneName();

}  // namespace lembrete
