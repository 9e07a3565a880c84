// ReminderGateway: the module's one way to the server object "lmb00300.rdmLembrete".
//
// Reading: call the method, pass the result through the host's CheckResultServ (which reports
// a failure and abandons the operation), then load a returned packet into the target dataset
// with SetData or take a returned number as text. Reads show no wait animation.
// Sending: a dataset's change log goes to SetAfazer / SetDescAFazer under the wait animation,
// which is removed on every path; on success the log is merged and, when asked, the host is told
// to refresh its cache of ATIVPESSOAL.
//
// The gateway owns nothing: the AppServer comes from the connection each time it is needed
// (reading it opens the connection on first use), and datasets belong to the forms.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/app_server.h"
#include "data/client_data_set.h"
#include "data/date.h"
#include "data/gateway_host.h"

namespace lembrete {

// The six arguments of a list load, in the server's order.
struct ReminderFilter {
    std::string reference;
    std::string operatorCode;
    Date date;
    bool showDone = false;
    bool showPending = true;
    bool fromDateOn = false;
};

class ReminderGateway {
  public:
    using ServerSource = std::function<AppServer&()>;

    // What to do with the dataset's change log when a send fails.
    enum class OnFailure { KeepChanges, CancelChanges };

    ReminderGateway(GatewayHost& host, ServerSource server);

    // While one lives, a failing call is not shown (CheckResultServ is told not to) though it
    // still abandons: for the reload that follows a failure already reported, so that one
    // failed action shows one message even when the server is down for both calls.
    class QuietFailures {
      public:
        explicit QuietFailures(ReminderGateway& gateway) : gateway_(gateway) { ++gateway_.quiet_; }
        ~QuietFailures() { --gateway_.quiet_; }
        QuietFailures(const QuietFailures&) = delete;
        QuietFailures& operator=(const QuietFailures&) = delete;

      private:
        ReminderGateway& gateway_;
    };

    // GetAFazer (the editor spells it getAFazer; the server ignores letter case).
    void GetAFazer(const ReminderFilter& filter, ClientDataSet& target,
                   std::string_view method = "GetAFazer");
    // GetAFazerPeriodo (data/view_calls.h): the rows of `days` with the filter's reference and
    // states, in one call; the filter's date and from-date flag take no part.
    void GetAFazerPeriodo(const ReminderFilter& filter, DayRange days, ClientDataSet& target);
    // The position of a search page: the date-time and number of the last row received.
    struct SearchPosition {
        DateTime when;
        std::string number;
    };
    // ProcurarAFazer (data/view_calls.h): one page of the reminders whose reference or
    // description contains `text`, newest first; the first page without `after`.
    void ProcurarAFazer(const std::string& operatorCode, const std::string& text,
                        const std::optional<SearchPosition>& after, ClientDataSet& target);
    // The days with reminders within `days`; without it, every such day.
    void GetDatasAFazer(const std::string& operatorCode, ClientDataSet& target,
                        std::optional<DayRange> days = std::nullopt);
    void GetDescAFazer(const std::string& operatorCode, const std::string& number,
                       ClientDataSet& target);
    void GetVerifObs(const std::string& operatorCode, const std::string& number,
                     ClientDataSet& target);
    // The most reminders one GetDescsAFazer call may name (the server's limit).
    static constexpr std::size_t kDescriptionsPerCall = 10000;
    // The descriptions of reminders `numbers` (those that have one), in one call per
    // kDescriptionsPerCall.
    void GetDescsAFazer(const std::string& operatorCode, const std::vector<std::string>& numbers,
                        ClientDataSet& target);
    std::string GetPrxAtivPessoal(const std::string& operatorCode);
    std::string GetPrxNrRepetAtivPess(const std::string& operatorCode);
    // Reserves `count` consecutive reminder numbers; returns the first.
    std::string GetPrxAtivPessoalBloco(const std::string& operatorCode, int count);

    // The rows of series `seriesNumber` (ReminderRecord), in date order.
    void GetSerieAFazer(const std::string& operatorCode, const std::string& seriesNumber,
                        ClientDataSet& target);
    // The stored rule of the series (SeriesRecord): no row when it has none.
    void GetRegraAFazer(const std::string& operatorCode, const std::string& seriesNumber,
                        ClientDataSet& target);

    // Sends the changes of a series' reminders, descriptions and rule with SetSerieAFazer,
    // applied by the server in one transaction; on success every log is merged, on a failure
    // (with CancelChanges) every one is cancelled. Nothing is sent when none has changes.
    // A refusal is shown as `failureLead` followed by the server's message.
    void SetSerieAFazer(ClientDataSet& reminders, ClientDataSet& descriptions, ClientDataSet& rules,
                        bool refreshCache, OnFailure onFailure = OnFailure::KeepChanges,
                        std::string_view failureLead = {});

    // The origins of the operator's imported reminders (ImportKeyRecord).
    void GetChavesAFazer(const std::string& operatorCode, ClientDataSet& target);
    // Sends an import's reminders, descriptions, origins and series rules with SetImportAFazer,
    // in one transaction, as SetSerieAFazer does.
    void SetImportAFazer(ClientDataSet& reminders, ClientDataSet& descriptions, ClientDataSet& keys,
                         ClientDataSet& rules, bool refreshCache,
                         OnFailure onFailure = OnFailure::KeepChanges);

    // The operator's reminders as an iCalendar text (GetICalAFazer), times in `zoneName`: those
    // from `from` to `to` (none: no limit), only `numbers` when given.
    std::string GetICalAFazer(const std::string& operatorCode, const std::string& zoneName,
                              std::optional<Date> from, std::optional<Date> to,
                              const std::optional<std::vector<std::string>>& numbers);
    // The path of the operator's calendar feed on the server ("" when it has none), and a new
    // one that replaces it (the old address stops working), under the wait animation.
    std::string GetCalendarioAFazer(const std::string& operatorCode);
    std::string SetCalendarioAFazer(const std::string& operatorCode);

    // Sends the dataset's changes with SetAfazer.
    void SetAfazer(ClientDataSet& dataSet, bool refreshCache,
                   OnFailure onFailure = OnFailure::KeepChanges);
    // Sends the dataset's changes with SetDescAFazer.
    void SetDescAFazer(ClientDataSet& dataSet, bool refreshCache,
                       OnFailure onFailure = OnFailure::KeepChanges);

  private:
    Variant read(std::string_view method, const std::vector<Variant>& args,
                 std::string_view failureLead = {});
    DataPacket readPacket(std::string_view method, const std::vector<Variant>& args);
    void load(std::string_view method, const std::vector<Variant>& args, ClientDataSet& target);
    std::string readNumber(std::string_view method, const std::vector<Variant>& args);
    void send(std::string_view method, const std::vector<ClientDataSet*>& dataSets,
              bool refreshCache, OnFailure onFailure, std::string_view failureLead = {});

    GatewayHost& host_;
    ServerSource server_;
    int quiet_ = 0;
};

}  // namespace lembrete
