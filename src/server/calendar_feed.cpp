#include "server/calendar_feed.h"

#include <optional>
#include <stdexcept>

#include "interchange/local_zone.h"
#include "server/calendar_export.h"
#include "server/number_sequences.h"
#include "server/operator_accounts.h"
#include "server/secret_token.h"
#include "server/store.h"

namespace lembrete {
namespace {

constexpr std::string_view kSuffix = ".ics";

FeedReply notFound() {
    return {404, {{"Content-Type", "text/plain; charset=utf-8"}}, "Não encontrado.\n"};
}

std::optional<std::string> feedOperator(StoreConnection& connection, const std::string& token) {
    auto& select = connection.statement(
        "SELECT CDOPERADOR FROM CALENDARIOOPERADOR WHERE DSHASHTOKEN = :hash", "t", "t");
    select.setText(0, secretTokenHash(token));
    auto found = select.execute() ? std::optional<std::string>(select.text(0)) : std::nullopt;
    select.reset();
    return found;
}

// True when If-None-Match names `etag` (or is "*").
bool matches(std::string_view ifNoneMatch, const std::string& etag) {
    return ifNoneMatch.find('*') != std::string_view::npos ||
           ifNoneMatch.find(etag) != std::string_view::npos;
}

}  // namespace

FeedReply CalendarFeed::answer(std::string_view file, std::string_view ifNoneMatch) {
    if (!file.ends_with(kSuffix)) {
        return notFound();
    }
    const std::string token(file.substr(0, file.size() - kSuffix.size()));
    if (token.empty()) {
        return notFound();
    }
    auto connection = store_.lease();
    const auto operatorCode = feedOperator(*connection, token);
    if (!operatorCode) {
        return notFound();
    }
    const Date today = DateTime::nowLocal().date();
    const std::string etag = "\"" +
                             std::to_string(NumberSequences::lastIssued(
                                 *connection, *operatorCode, SequenceKind::ReminderChange)) +
                             "-" + today.iso() + "\"";
    std::vector<std::pair<std::string, std::string>> headers = {
        {"ETag", etag}, {"Cache-Control", "private, no-cache"}};
    if (matches(ifNoneMatch, etag)) {
        return {304, std::move(headers), {}};
    }
    headers.emplace_back("Content-Type", "text/calendar; charset=utf-8");
    ExportRange range;
    range.from = today.addDays(-kDaysBack);
    return {200, std::move(headers),
            CalendarExport::text(*connection, *operatorCode, range, localZoneName())};
}

std::string CalendarFeed::renewToken(StoreConnection& connection, const std::string& operatorCode) {
    WriteTransaction transaction(connection);
    if (!OperatorAccounts::exists(connection, operatorCode)) {
        throw std::runtime_error("O operador " + operatorCode + " não existe.");
    }
    const std::string token = newSecretToken();
    auto& revoke =
        connection.statement("DELETE FROM CALENDARIOOPERADOR WHERE CDOPERADOR = :op", "t");
    revoke.setText(0, operatorCode);
    revoke.execute();
    auto& insert = connection.statement(
        "INSERT INTO CALENDARIOOPERADOR (CDOPERADOR, DSHASHTOKEN, DSTOKEN)"
        " VALUES (:op, :hash, :token)",
        "ttt");
    insert.setText(0, operatorCode);
    insert.setText(1, secretTokenHash(token));
    insert.setText(2, token);
    insert.execute();
    transaction.commit();
    return token;
}

std::optional<std::string> CalendarFeed::currentToken(StoreConnection& connection,
                                                      const std::string& operatorCode) {
    auto& select = connection.statement(
        "SELECT DSTOKEN FROM CALENDARIOOPERADOR WHERE CDOPERADOR = :op", "t", "t");
    select.setText(0, operatorCode);
    auto found = select.execute() ? select.optionalText(0) : std::nullopt;
    select.reset();
    return found;
}

std::string CalendarFeed::path(const std::string& token) {
    return std::string(kPathPrefix) + token + std::string(kSuffix);
}

}  // namespace lembrete
