#include "data/reminder_gateway.h"

#include <algorithm>
#include <iterator>
#include <stdexcept>

#include "data/data_packet.h"
#include "data/reminder_record.h"
#include "data/view_calls.h"

namespace lembrete {
namespace {

// Shows the host's wait animation for a scope; removed however the scope ends.
class WaitAnimation {
  public:
    explicit WaitAnimation(GatewayHost& host) : host_(host) { host_.ActiveShowAvi(1); }
    ~WaitAnimation() { host_.DeactiveShowAvi(); }
    WaitAnimation(const WaitAnimation&) = delete;
    WaitAnimation& operator=(const WaitAnimation&) = delete;

  private:
    GatewayHost& host_;
};

}  // namespace

ReminderGateway::ReminderGateway(GatewayHost& host, ServerSource server)
    : host_(host), server_(std::move(server)) {}

Variant ReminderGateway::read(std::string_view method, const std::vector<Variant>& args,
                              std::string_view failureLead) {
    ServerResult result = server_().call(method, args);
    if (!result.ok() && !failureLead.empty()) {
        result.error->message = std::string(failureLead) + result.error->message;
    }
    return host_.CheckResultServ(result, quiet_ == 0, 0);
}

DataPacket ReminderGateway::readPacket(std::string_view method, const std::vector<Variant>& args) {
    Variant payload = read(method, args);
    if (payload.kind() != VariantKind::Packet) {
        throw std::runtime_error("O servidor respondeu a " + std::string(method) +
                                 " sem um pacote de dados.");
    }
    return payload.asPacket();
}

void ReminderGateway::load(std::string_view method, const std::vector<Variant>& args,
                           ClientDataSet& target) {
    target.SetData(readPacket(method, args));
}

std::string ReminderGateway::readNumber(std::string_view method, const std::vector<Variant>& args) {
    return read(method, args).toText();
}

void ReminderGateway::GetAFazer(const ReminderFilter& filter, ClientDataSet& target,
                                std::string_view method) {
    load(method,
         {filter.reference, filter.operatorCode, filter.date, filter.showDone, filter.showPending,
          filter.fromDateOn},
         target);
}

void ReminderGateway::GetAFazerPeriodo(const ReminderFilter& filter, DayRange days,
                                       ClientDataSet& target) {
    load(view_contract::kGetRange,
         {filter.reference, filter.operatorCode, DateTime(days.first), DateTime(days.last),
          filter.showDone, filter.showPending},
         target);
}

void ReminderGateway::ProcurarAFazer(const std::string& operatorCode, const std::string& text,
                                     const std::optional<SearchPosition>& after,
                                     ClientDataSet& target) {
    load(view_contract::kSearch,
         {operatorCode, text, after ? Variant(after->when) : Variant(),
          after ? Variant(after->number) : Variant()},
         target);
}

void ReminderGateway::GetDatasAFazer(const std::string& operatorCode, ClientDataSet& target,
                                     std::optional<DayRange> days) {
    if (days) {
        load("GetDatasAFazer", {operatorCode, DateTime(days->first), DateTime(days->last)}, target);
    } else {
        load("GetDatasAFazer", {operatorCode}, target);
    }
}

void ReminderGateway::GetDescAFazer(const std::string& operatorCode, const std::string& number,
                                    ClientDataSet& target) {
    load("GetDescAFazer", {operatorCode, number}, target);
}

void ReminderGateway::GetVerifObs(const std::string& operatorCode, const std::string& number,
                                  ClientDataSet& target) {
    load("GetVerifObs", {operatorCode, number}, target);
}

void ReminderGateway::GetDescsAFazer(const std::string& operatorCode,
                                     const std::vector<std::string>& numbers,
                                     ClientDataSet& target) {
    DataPacket all;
    for (std::size_t from = 0; from == 0 || from < numbers.size(); from += kDescriptionsPerCall) {
        std::string list;
        for (std::size_t i = from; i < std::min(numbers.size(), from + kDescriptionsPerCall); ++i) {
            list += (list.empty() ? "" : ",") + numbers[i];
        }
        DataPacket part = readPacket("GetDescsAFazer", {operatorCode, list});
        if (from == 0) {
            all = std::move(part);
        } else {
            std::move(part.rows.begin(), part.rows.end(), std::back_inserter(all.rows));
        }
    }
    target.SetData(all);
}

std::string ReminderGateway::GetPrxAtivPessoal(const std::string& operatorCode) {
    return readNumber("GetPrxAtivPessoal", {operatorCode});
}

std::string ReminderGateway::GetPrxNrRepetAtivPess(const std::string& operatorCode) {
    return readNumber("GetPrxNrRepetAtivPess", {operatorCode});
}

std::string ReminderGateway::GetPrxAtivPessoalBloco(const std::string& operatorCode, int count) {
    return readNumber("GetPrxAtivPessoalBloco", {operatorCode, count});
}

void ReminderGateway::GetSerieAFazer(const std::string& operatorCode,
                                     const std::string& seriesNumber, ClientDataSet& target) {
    load("GetSerieAFazer", {operatorCode, seriesNumber}, target);
}

void ReminderGateway::GetRegraAFazer(const std::string& operatorCode,
                                     const std::string& seriesNumber, ClientDataSet& target) {
    load("GetRegraAFazer", {operatorCode, seriesNumber}, target);
}

void ReminderGateway::SetAfazer(ClientDataSet& dataSet, bool refreshCache, OnFailure onFailure) {
    send("SetAfazer", {&dataSet}, refreshCache, onFailure);
}

void ReminderGateway::SetDescAFazer(ClientDataSet& dataSet, bool refreshCache,
                                    OnFailure onFailure) {
    send("SetDescAFazer", {&dataSet}, refreshCache, onFailure);
}

void ReminderGateway::SetSerieAFazer(ClientDataSet& reminders, ClientDataSet& descriptions,
                                     ClientDataSet& rules, bool refreshCache, OnFailure onFailure,
                                     std::string_view failureLead) {
    send("SetSerieAFazer", {&reminders, &descriptions, &rules}, refreshCache, onFailure,
         failureLead);
}

void ReminderGateway::GetChavesAFazer(const std::string& operatorCode, ClientDataSet& target) {
    load("GetChavesAFazer", {operatorCode}, target);
}

void ReminderGateway::SetImportAFazer(ClientDataSet& reminders, ClientDataSet& descriptions,
                                      ClientDataSet& keys, ClientDataSet& rules, bool refreshCache,
                                      OnFailure onFailure) {
    send("SetImportAFazer", {&reminders, &descriptions, &keys, &rules}, refreshCache, onFailure);
}

std::string ReminderGateway::GetICalAFazer(const std::string& operatorCode,
                                           const std::string& zoneName, std::optional<Date> from,
                                           std::optional<Date> to,
                                           const std::optional<std::vector<std::string>>& numbers) {
    const auto day = [](std::optional<Date> date) {
        return date ? Variant(DateTime(*date)) : Variant();
    };
    Variant listed;
    if (numbers) {
        std::string joined;
        for (const auto& number : *numbers) {
            joined += (joined.empty() ? "" : ",") + number;
        }
        listed = Variant(joined);
    }
    return read("GetICalAFazer", {operatorCode, zoneName, day(from), day(to), listed}).toText();
}

std::string ReminderGateway::GetCalendarioAFazer(const std::string& operatorCode) {
    return read("GetCalendarioAFazer", {operatorCode}).toText();
}

std::string ReminderGateway::SetCalendarioAFazer(const std::string& operatorCode) {
    WaitAnimation animation(host_);
    return read("SetCalendarioAFazer", {operatorCode}).toText();
}

void ReminderGateway::send(std::string_view method, const std::vector<ClientDataSet*>& dataSets,
                           bool refreshCache, OnFailure onFailure, std::string_view failureLead) {
    if (std::all_of(dataSets.begin(), dataSets.end(),
                    [](const ClientDataSet* dataSet) { return dataSet->ChangeCount() == 0; })) {
        return;
    }
    try {
        WaitAnimation animation(host_);
        std::vector<Variant> deltas;
        for (const ClientDataSet* dataSet : dataSets) {
            deltas.emplace_back(dataSet->Delta());
        }
        read(method, deltas, failureLead);
    } catch (...) {
        if (onFailure == OnFailure::CancelChanges) {
            for (ClientDataSet* dataSet : dataSets) {
                dataSet->CancelUpdates();
            }
        }
        throw;
    }
    for (ClientDataSet* dataSet : dataSets) {
        if (dataSet->LogChanges()) {
            dataSet->MergeChangeLog();
        }
    }
    if (refreshCache) {
        host_.AtualizaLocalCache({std::string(ReminderRecord::kTable)});
    }
}

}  // namespace lembrete
