#include "server/reminder_service.h"

#include <array>
#include <charconv>
#include <functional>
#include <iostream>
#include <set>
#include <stdexcept>

#include "data/reminder_record.h"
#include "data/utf8.h"
#include "interchange/local_zone.h"
#include "net/alarm_contract.h"
#include "net/rpc_error_codes.h"
#include "net/view_contract.h"
#include "server/alarm_queries.h"
#include "server/calendar_export.h"
#include "server/calendar_feed.h"
#include "server/delta_writer.h"
#include "server/import_keys.h"
#include "server/number_sequences.h"
#include "server/operator_accounts.h"
#include "server/reminder_queries.h"
#include "server/rpc_arguments.h"
#include "server/rpc_failure.h"
#include "server/session_watch.h"
#include "server/store.h"
#include "server/store_connection.h"
#include "server/table_layout.h"

namespace lembrete {
namespace {

struct CallContext {
    StoreConnection& connection;
    const RpcArguments& args;
    const std::string& sessionOperator;
    MarkedDaysCache& markedDays;
    SessionCache& sessions;
    const std::string& token;
    const std::string& clientAddress;
    LoginThrottle& throttle;
    const SessionPolicy& policy;
    ResultSink* sink;  // may be null: the result is then returned whole
};

// Rows of a result go to the sink in pieces of about this size, once there is more than one.
constexpr std::size_t kResultPieceBytes = 64u << 10;

// The ReminderRecord rows `read` visits as the call's result, encoded as they are read: with a
// sink a long result is written there a piece at a time and never held whole.
std::string reminderRows(const CallContext& context,
                         const std::function<void(const ReminderQueries::RowVisitor&)>& read) {
    const auto& fields = ReminderQueries::agendaFields().fields;
    std::string text = json_codec::packetHead(fields);
    bool first = true;
    read([&](const Row& row) {
        if (!std::exchange(first, false)) {
            text.push_back(',');
        }
        json_codec::appendRow(text, row, fields);
        if (context.sink != nullptr && text.size() >= kResultPieceBytes) {
            context.sink->write(text);
            text.clear();
        }
    });
    return text + "]}";
}

// True when `operatorCode` is the session's; false when empty (the call reads nothing);
// refused when it names another operator.
bool isOwnOperator(const CallContext& context, const std::string& operatorCode) {
    if (operatorCode.empty()) {
        return false;
    }
    if (operatorCode != context.sessionOperator) {
        throw RpcFailure(rpc_error::OtherOperator,
                         "Acesso negado: a sessão é do operador " + context.sessionOperator +
                             " e não pode usar os lembretes do operador " + operatorCode + ".");
    }
    return true;
}

std::string requireOwnOperator(const CallContext& context, std::size_t index) {
    const auto operatorCode = context.args.text(index);
    if (!isOwnOperator(context, operatorCode)) {
        throw RpcFailure(rpc_error::OtherOperator, "Acesso negado: informe o operador da sessão.");
    }
    return operatorCode;
}

std::string reserve(const CallContext& context, SequenceKind kind, long long count) {
    const auto operatorCode = requireOwnOperator(context, 0);
    return json_codec::encodeVariant(Variant(
        std::to_string(NumberSequences::reserve(context.connection, operatorCode, kind, count))));
}

// Argument `index` as a reference filter: at most as wide as a reference.
std::string referenceFilter(const CallContext& context, std::size_t index) {
    auto reference = context.args.text(index);
    if (utf8::length(reference) > static_cast<std::size_t>(ReminderRecord::kReferenceWidth)) {
        throw RpcFailure(rpc_error::InvalidValue,
                         "O filtro de referência aceita no máximo " +
                             std::to_string(ReminderRecord::kReferenceWidth) + " caracteres.");
    }
    return reference;
}

std::string getAFazer(const CallContext& context) {
    AgendaFilter filter;
    filter.reference = referenceFilter(context, 0);
    filter.operatorCode = context.args.text(1);
    filter.day = context.args.dateTime(2).date();
    filter.showDone = context.args.boolean(3);
    filter.showPending = context.args.boolean(4);
    filter.fromDayOn = context.args.boolean(5);
    if (!isOwnOperator(context, filter.operatorCode)) {
        return json_codec::encodePacket(ReminderQueries::agendaFields());
    }
    return reminderRows(context, [&](const ReminderQueries::RowVisitor& visit) {
        ReminderQueries::agenda(context.connection, filter, visit);
    });
}

std::string getAFazerPeriodo(const CallContext& context) {
    RangeFilter filter;
    filter.reference = referenceFilter(context, 0);
    filter.operatorCode = context.args.text(1);
    filter.days = DayRange{context.args.dateTime(2).date(), context.args.dateTime(3).date()};
    filter.showDone = context.args.boolean(4);
    filter.showPending = context.args.boolean(5);
    if (filter.days.last < filter.days.first ||
        filter.days.first.daysUntil(filter.days.last) >= view_contract::kMaxRangeDays) {
        throw RpcFailure(rpc_error::InvalidParams,
                         "Período inválido para GetAFazerPeriodo: de " +
                             filter.days.first.format() + " a " + filter.days.last.format() +
                             "; a data final não pode ser anterior à inicial e o período tem no "
                             "máximo " +
                             std::to_string(view_contract::kMaxRangeDays) + " dias.");
    }
    if (!isOwnOperator(context, filter.operatorCode)) {
        return json_codec::encodePacket(ReminderQueries::agendaFields());
    }
    return reminderRows(context, [&](const ReminderQueries::RowVisitor& visit) {
        ReminderQueries::range(context.connection, filter, visit);
    });
}

std::string procurarAFazer(const CallContext& context) {
    SearchRequest request;
    request.operatorCode = context.args.text(0);
    request.text = context.args.text(1);
    request.pageSize = view_contract::kSearchPageSize;
    if (utf8::length(request.text) > static_cast<std::size_t>(view_contract::kMaxSearchText)) {
        throw RpcFailure(rpc_error::InvalidValue,
                         "O texto da procura aceita no máximo " +
                             std::to_string(view_contract::kMaxSearchText) + " caracteres.");
    }
    if (const auto after = context.args.optionalDateTime(2)) {
        const auto number = context.args.text(3);
        long long value = 0;
        const auto end = number.data() + number.size();
        const auto [stop, error] = std::from_chars(number.data(), end, value);
        if (number.empty() || error != std::errc() || stop != end || value < 0) {
            throw RpcFailure(rpc_error::InvalidParams,
                             "Posição inválida para ProcurarAFazer: o número do último lembrete "
                             "recebido (\"" +
                                 number + "\") não é um número.");
        }
        request.after = SearchRequest::Position{*after, value};
    }
    return json_codec::encodePacket(isOwnOperator(context, request.operatorCode)
                                        ? ReminderQueries::search(context.connection, request)
                                        : ReminderQueries::agendaFields());
}

// GetDatasAFazer(operator[, from, to]): with the two dates, the days from `from` to `to`.
std::string getDatasAFazer(const CallContext& context) {
    const auto operatorCode = context.args.text(0);
    std::optional<DayRange> days;
    if (context.args.count() == 3) {
        days = DayRange{context.args.dateTime(1).date(), context.args.dateTime(2).date()};
        if (days->last < days->first) {
            throw RpcFailure(rpc_error::InvalidParams,
                             "Período inválido para GetDatasAFazer: a data final (" +
                                 days->last.format() + ") é anterior à inicial (" +
                                 days->first.format() + ").");
        }
    }
    return isOwnOperator(context, operatorCode)
               ? context.markedDays.reply(context.connection, operatorCode, days)
               : json_codec::encodePacket(ReminderQueries::markedDayFields());
}

std::string getDescAFazer(const CallContext& context) {
    const auto operatorCode = context.args.text(0);
    const auto number = context.args.text(1);
    return json_codec::encodePacket(
        isOwnOperator(context, operatorCode)
            ? ReminderQueries::description(context.connection, operatorCode, number)
            : ReminderQueries::descriptionFields());
}

std::string getPrxAtivPessoalBloco(const CallContext& context) {
    const auto count = context.args.integer(1);
    if (count < 1 || count > NumberSequences::kMaxBlock) {
        throw RpcFailure(rpc_error::InvalidParams,
                         "Quantidade de números inválida para GetPrxAtivPessoalBloco: use de 1 a " +
                             std::to_string(NumberSequences::kMaxBlock) + ".");
    }
    return reserve(context, SequenceKind::Reminder, count);
}

std::string applyDelta(const CallContext& context, const TableLayout& layout) {
    DeltaWriter writer(layout, context.sessionOperator);
    return json_codec::encodeVariant(
        Variant(writer.apply(context.connection, context.args.packet(0))));
}

std::string getSerieAFazer(const CallContext& context) {
    const auto operatorCode = context.args.text(0);
    if (!isOwnOperator(context, operatorCode)) {
        return json_codec::encodePacket(ReminderQueries::agendaFields());
    }
    const auto series = context.args.text(1);
    return reminderRows(context, [&](const ReminderQueries::RowVisitor& visit) {
        ReminderQueries::series(context.connection, operatorCode, series, visit);
    });
}

std::string getRegraAFazer(const CallContext& context) {
    const auto operatorCode = context.args.text(0);
    return json_codec::encodePacket(
        isOwnOperator(context, operatorCode)
            ? ReminderQueries::seriesRule(context.connection, operatorCode, context.args.text(1))
            : ReminderQueries::seriesRuleFields());
}

// A series' reminders, their descriptions and its rule, checked whole and then written in one
// transaction: all of it or none. A delta without changes is left out.
// Checks every delta of the call's arguments (one per layout, in order), then writes them all
// in one transaction; `beforeWrite` runs inside it first.
std::string applyTogether(
    const CallContext& context, const std::vector<const TableLayout*>& layouts,
    const std::function<void(const std::vector<DataPacket>&)>& beforeWrite = nullptr) {
    std::vector<DataPacket> deltas;
    std::vector<DeltaWriter> writers;
    writers.reserve(layouts.size());
    for (std::size_t i = 0; i < layouts.size() && i < context.args.count(); ++i) {
        DataPacket delta = context.args.packet(i);
        if (delta.changes.empty() && delta.rows.empty()) {
            continue;
        }
        writers.emplace_back(*layouts[i], context.sessionOperator);
        writers.back().check(delta);
        deltas.push_back(std::move(delta));
    }
    WriteTransaction transaction(context.connection);
    if (beforeWrite) {
        beforeWrite(deltas);
    }
    int applied = 0;
    for (std::size_t i = 0; i < writers.size(); ++i) {
        writers[i].write(context.connection, deltas[i]);
        applied += static_cast<int>(deltas[i].changes.size());
    }
    transaction.commit();
    return json_codec::encodeVariant(Variant(applied));
}

std::string setSerieAFazer(const CallContext& context) {
    return applyTogether(context, {&reminderLayout(), &descriptionLayout(), &seriesLayout()});
}

std::string getChavesAFazer(const CallContext& context) {
    const auto operatorCode = context.args.text(0);
    return json_codec::encodePacket(isOwnOperator(context, operatorCode)
                                        ? ImportKeys::read(context.connection, operatorCode)
                                        : ImportKeys::fields());
}

std::string setImportAFazer(const CallContext& context) {
    return applyTogether(
        context, {&reminderLayout(), &descriptionLayout(), &importKeyLayout(), &seriesLayout()},
        [&](const std::vector<DataPacket>& deltas) {
            ImportKeys::dropReplacedDescriptions(context.connection, context.sessionOperator,
                                                 deltas);
        });
}

// The reminder numbers of a text such as "12,13,40" (empty items left out).
std::set<std::string> commaSeparated(const std::string& numbers) {
    std::set<std::string> items;
    for (std::size_t at = 0; at < numbers.size();) {
        const auto comma = std::min(numbers.find(',', at), numbers.size());
        if (comma > at) {
            items.insert(numbers.substr(at, comma - at));
        }
        at = comma + 1;
    }
    return items;
}

// GetDescsAFazer(operator, numbers): the descriptions of the comma-separated reminders.
std::string getDescsAFazer(const CallContext& context) {
    const auto operatorCode = context.args.text(0);
    const std::set<std::string> numbers = commaSeparated(context.args.text(1));
    if (numbers.size() > static_cast<std::size_t>(NumberSequences::kMaxBlock)) {
        throw RpcFailure(rpc_error::InvalidParams,
                         "Lembretes demais para GetDescsAFazer: no máximo " +
                             std::to_string(NumberSequences::kMaxBlock) + " por chamada.");
    }
    DataPacket packet = ReminderQueries::descriptionFields();
    if (isOwnOperator(context, operatorCode)) {
        for (const std::string& number : numbers) {
            for (Row& row :
                 ReminderQueries::description(context.connection, operatorCode, number).rows) {
                packet.rows.push_back(std::move(row));
            }
        }
    }
    return json_codec::encodePacket(packet);
}

// GetICalAFazer(operator, zone, from, to, numbers): the reminders as an iCalendar text.
std::string getICalAFazer(const CallContext& context) {
    const auto operatorCode = requireOwnOperator(context, 0);
    std::string zone = context.args.text(1);
    if (zone.empty()) {
        zone = localZoneName();
    }
    ExportRange range;
    if (const auto from = context.args.optionalDateTime(2)) {
        range.from = from->date();
    }
    if (const auto to = context.args.optionalDateTime(3)) {
        range.to = to->date();
    }
    if (range.from && range.to && *range.to < *range.from) {
        throw RpcFailure(rpc_error::InvalidParams,
                         "Período inválido para exportar: a data final (" + range.to->format() +
                             ") é anterior à inicial (" + range.from->format() + ").");
    }
    if (const auto numbers = context.args.optionalText(4)) {
        range.numbers = commaSeparated(*numbers);
    }
    try {
        return json_codec::encodeVariant(
            Variant(CalendarExport::text(context.connection, operatorCode, range, zone)));
    } catch (const std::invalid_argument&) {
        throw RpcFailure(rpc_error::InvalidValue,
                         "Fuso horário desconhecido: " + zone + ". Nada foi exportado.");
    }
}

std::string getCalendarioAFazer(const CallContext& context) {
    const auto operatorCode = requireOwnOperator(context, 0);
    const auto token = CalendarFeed::currentToken(context.connection, operatorCode);
    return json_codec::encodeVariant(Variant(token ? CalendarFeed::path(*token) : std::string()));
}

std::string setCalendarioAFazer(const CallContext& context) {
    const auto operatorCode = requireOwnOperator(context, 0);
    return json_codec::encodeVariant(
        Variant(CalendarFeed::path(CalendarFeed::renewToken(context.connection, operatorCode))));
}

std::string login(const CallContext& context) {
    const auto operatorCode = ReminderRecord::operatorCode(context.args.text(0));
    const auto& address = context.clientAddress;
    const auto wait = context.throttle.waitFor(operatorCode, address);
    if (wait.count() > 0) {
        throw RpcFailure(rpc_error::LoginRefused,
                         "Muitas tentativas de entrada sem sucesso. Aguarde " +
                             std::to_string((wait.count() + 999) / 1000) +
                             " segundo(s) e tente novamente.");
    }
    const auto token = OperatorAccounts::login(context.connection, operatorCode,
                                               context.args.text(1), context.policy);
    if (!token) {
        const auto delay = context.throttle.recordFailure(operatorCode, address);
        if (delay.count() > 0) {
            std::cerr << "lembrete-server: falhas seguidas de entrada do operador " << operatorCode
                      << " ou do endereço " << address << "; novas tentativas aguardam "
                      << delay.count() << " ms." << std::endl;
        }
        throw RpcFailure(rpc_error::LoginRefused, "Operador ou senha inválidos.");
    }
    context.throttle.recordSuccess(operatorCode, address);
    return json_codec::encodeVariant(Variant(*token));
}

std::string getAlarmesAFazer(const CallContext& context) {
    const auto operatorCode = context.args.text(0);
    const auto until = context.args.dateTime(1);
    return json_codec::encodePacket(isOwnOperator(context, operatorCode)
                                        ? AlarmQueries::due(context.connection, operatorCode, until)
                                        : AlarmQueries::dueFields());
}

std::string setAlarmeAFazer(const CallContext& context) {
    const auto operatorCode = requireOwnOperator(context, 0);
    return json_codec::encodeVariant(Variant(static_cast<std::int64_t>(
        AlarmQueries::snooze(context.connection, operatorCode, context.args.text(1),
                             context.args.optionalDateTime(2)))));
}

std::string getNrAlteracaoAFazer(const CallContext& context) {
    const auto operatorCode = requireOwnOperator(context, 0);
    return json_codec::encodeVariant(Variant(static_cast<std::int64_t>(NumberSequences::lastIssued(
        context.connection, operatorCode, SequenceKind::ReminderChange))));
}

std::string logout(const CallContext& context) {
    OperatorAccounts::logout(context.connection, context.token, context.sessions);
    return json_codec::encodeVariant(Variant(true));
}

struct Method {
    const char* name;
    std::size_t arity;
    bool needsSession;
    std::function<std::string(const CallContext&)> run;
    std::size_t longerArity = 0;  // another accepted count (trailing optional arguments)
};

const std::array<Method, 25> kMethods = {{
    {"Login", 2, false, login},
    {"Logout", 0, true, logout},
    {"GetAFazer", 6, true, getAFazer},
    {"GetDatasAFazer", 1, true, getDatasAFazer, 3},
    {"GetDescAFazer", 2, true, getDescAFazer},
    {"GetVerifObs", 2, true, getDescAFazer},
    {"GetDescsAFazer", 2, true, getDescsAFazer},
    {"GetPrxAtivPessoal", 1, true,
     [](const CallContext& c) { return reserve(c, SequenceKind::Reminder, 1); }},
    {"GetPrxNrRepetAtivPess", 1, true,
     [](const CallContext& c) { return reserve(c, SequenceKind::Repetition, 1); }},
    {"GetPrxAtivPessoalBloco", 2, true, getPrxAtivPessoalBloco},
    {"SetAfazer", 1, true, [](const CallContext& c) { return applyDelta(c, reminderLayout()); }},
    {"SetDescAFazer", 1, true,
     [](const CallContext& c) { return applyDelta(c, descriptionLayout()); }},
    {"GetSerieAFazer", 2, true, getSerieAFazer},
    {"GetRegraAFazer", 2, true, getRegraAFazer},
    {"SetSerieAFazer", 3, true, setSerieAFazer},
    {"GetChavesAFazer", 1, true, getChavesAFazer},
    {"SetImportAFazer", 3, true, setImportAFazer, 4},
    {"GetICalAFazer", 5, true, getICalAFazer},
    {"GetCalendarioAFazer", 1, true, getCalendarioAFazer},
    {"SetCalendarioAFazer", 1, true, setCalendarioAFazer},
    {alarm_contract::kGetAlarms, 2, true, getAlarmesAFazer},
    {alarm_contract::kSetAlarm, 3, true, setAlarmeAFazer},
    {alarm_contract::kGetChangeCount, 1, true, getNrAlteracaoAFazer},
    {view_contract::kGetRange, 6, true, getAFazerPeriodo},
    {view_contract::kSearch, 4, true, procurarAFazer},
}};

const Method& findMethod(std::string_view name) {
    for (const auto& method : kMethods) {
        if (utf8::equalIgnoringCase(method.name, name)) {
            return method;
        }
    }
    throw RpcFailure(rpc_error::MethodNotFound, "Método desconhecido: " + std::string(name) + ".");
}

}  // namespace

ReminderService::ReminderService(Store& store, SessionPolicy policy)
    : store_(store), policy_(policy) {
    if (store.location().backend == Backend::Postgresql) {
        sessionWatch_ = std::make_unique<SessionWatch>(store.location().target, sessions_);
    }
}

ReminderService::~ReminderService() = default;

std::string ReminderService::call(std::string_view name, const std::vector<JsonValue>& params,
                                  const std::string& token, const std::string& clientAddress,
                                  ResultSink* sink) {
    const Method& method = findMethod(name);
    const RpcArguments args(method.name, params);
    args.expectCount(method.arity, method.longerArity);
    auto connection = store_.lease();
    try {
        std::optional<std::string> sessionOperator;
        if (method.needsSession) {
            sessionOperator = token.empty() ? std::nullopt
                                            : OperatorAccounts::sessionOperator(*connection, token,
                                                                                sessions_, policy_);
            if (!sessionOperator) {
                throw RpcFailure(
                    rpc_error::NotAuthenticated,
                    "Sessão inválida ou expirada. Entre novamente no sistema para continuar.");
            }
        }
        return method.run(CallContext{*connection, args, sessionOperator.value_or(std::string()),
                                      markedDays_, sessions_, token, clientAddress, throttle_,
                                      policy_, sink});
    } catch (const soci::soci_error&) {
        // Whatever broke, the next request gets a fresh connection.
        connection.discard();
        throw;
    }
}

}  // namespace lembrete
