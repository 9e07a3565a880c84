#include "server/feed_route.h"

#include "server/calendar_feed.h"

namespace lembrete {

HttpRoute feedRoute(CalendarFeed& feed) {
    return {"GET",
            std::string(CalendarFeed::kPathPrefix),
            [&feed](const HttpRequest& request) {
                const auto path = request.target.substr(0, request.target.find('?'));
                auto answer = feed.answer(path.substr(CalendarFeed::kPathPrefix.size()),
                                          request.header("If-None-Match"));
                HttpReply reply{answer.status, {}, std::move(answer.body), {}};
                for (auto& [name, value] : answer.headers) {
                    if (name == "Content-Type") {
                        reply.contentType = std::move(value);
                    } else {
                        reply.headers.emplace_back(std::move(name), std::move(value));
                    }
                }
                return reply;
            },
            {}};
}

}  // namespace lembrete
