// CalendarFeed: GET /calendario/TOKEN.ics, an operator's reminders from kDaysBack days ago on
// as iCalendar, read-only, for a phone or another calendar program to subscribe to.
//
// The token is the operator's feed token, apart from any session: `operator feed CODE` or the
// desktop's renewal (SetCalendarioAFazer) issues a new one and so revokes the old. The feed is
// found by the token's hash; the token itself is kept too, so that the desktop can show the
// address again (GetCalendarioAFazer) instead of having to renew it, and so break every
// subscription, each time someone wants to add a device. Keeping it costs nothing a reader of
// the database does not already have: the feed shows the reminders the database holds. A token that
// opens no feed gets a bare 404, the same for every wrong token. The ETag is the operator's change
// counter and the day (the window moves every day); a matching If-None-Match gets 304 without the
// file.
//
// The class knows no HTTP library: the front end hands over the path's last segment and the
// If-None-Match header and sends back what answer() returns. Thread-safe: each call leases its
// own connection.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace lembrete {

class Store;
class StoreConnection;

struct FeedReply {
    int status = 200;
    std::vector<std::pair<std::string, std::string>> headers;
    std::string body;
};

class CalendarFeed {
  public:
    static constexpr int kDaysBack = 90;
    static constexpr std::string_view kPathPrefix = "/calendario/";

    explicit CalendarFeed(Store& store) : store_(store) {}

    // `file`: "TOKEN.ics", the path after kPathPrefix.
    FeedReply answer(std::string_view file, std::string_view ifNoneMatch);

    // Issues the operator's new feed token (the old one stops working) and returns it. Throws
    // std::runtime_error when there is no such operator.
    static std::string renewToken(StoreConnection& connection, const std::string& operatorCode);
    // The operator's current token; none when it has no feed, or one issued before tokens
    // were kept.
    static std::optional<std::string> currentToken(StoreConnection& connection,
                                                   const std::string& operatorCode);
    // "/calendario/TOKEN.ics".
    static std::string path(const std::string& token);

  private:
    Store& store_;
};

}  // namespace lembrete
