// The calendar feed's route of the server: GET /calendario/TOKEN.ics, answered by CalendarFeed.
#pragma once

#include "server/http_routes.h"

namespace lembrete {

class CalendarFeed;

// `feed` must outlive the route.
HttpRoute feedRoute(CalendarFeed& feed);

}  // namespace lembrete
