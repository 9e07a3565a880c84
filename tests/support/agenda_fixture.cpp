#include "support/agenda_fixture.h"

#include "data/client_data_set.h"
#include "data/reminder_gateway.h"
#include "data/reminder_record.h"

namespace lembrete::testing {

const Date AgendaServerTest::kToday = Date::fromParts(2026, 12, 8);

void AgendaServerTest::SetUp() {
    server_.addOperator(kOperator, kPassword);
    server_.start();
    direct_ = std::make_unique<JsonRpcAppServer>("127.0.0.1", server_.port());
    const ServerResult login = direct_->Login(kOperator, kPassword);
    ASSERT_TRUE(login.ok()) << login.error->message;

    host_.SetOperador(kOperator);
    host_.SetNow(DateTime(kToday, std::chrono::hours(10)));
    host_.SetWebURL("127.0.0.1");
    host_.SetWebPort(server_.port());
    const std::string token = direct_->token();
    host_.SetTransportFactory([token](const std::string& host, int port, const std::string&) {
        auto connection = std::make_unique<JsonRpcAppServer>(host, port);
        connection->setToken(token);
        return connection;
    });
    module_ = std::make_unique<AgendaModule>(host_);
    module_->SetCriaManutAFazer([this](const std::string& number, bool refresh) {
        editorCalls_.emplace_back(number, refresh);
    });
}

std::string AgendaServerTest::Seed(const ReminderValues& values) {
    ReminderGateway gateway(host_, [this]() -> AppServer& { return *direct_; });
    const std::string number = gateway.GetPrxAtivPessoal(kOperator);
    ClientDataSet rows("cdsSeed", ReminderRecord::layout());
    rows.Open();
    rows.Append();
    rows.FieldByName(ReminderRecord::CDOPERADOR).SetAsString(kOperator);
    rows.FieldByName(ReminderRecord::NRATIVPESS).SetAsString(number);
    rows.FieldByName(ReminderRecord::DSREFEATPESS).SetAsString(values.reference);
    rows.FieldByName(ReminderRecord::DTATIVPESS).SetValue(values.when);
    rows.FieldByName(ReminderRecord::IDSITUATPESS).SetAsString(values.state);
    rows.FieldByName(ReminderRecord::IDALARATPESS).SetAsString(values.alarm);
    rows.FieldByName(ReminderRecord::QTSEGUATPESS).SetValue(values.lead);
    rows.FieldByName(ReminderRecord::IDUNITATPESS).SetAsString(values.unit);
    if (!values.priority.empty()) {
        rows.FieldByName(ReminderRecord::NRPRIOATPESS).SetAsString(values.priority);
    }
    if (!values.repetition.empty()) {
        rows.FieldByName(ReminderRecord::NRREPETATIVP).SetAsString(values.repetition);
    }
    rows.Post();
    gateway.SetAfazer(rows, false);
    host_.TakeCalls();
    return number;
}

std::string AgendaServerTest::Seed(const std::string& reference, DateTime when,
                                   const std::string& state, const std::string& alarm,
                                   const std::string& priority) {
    return Seed(ReminderValues(kOperator, "", reference, when, state, alarm, {}, "", priority));
}

void AgendaServerTest::SeedDescription(const std::string& number, const std::string& text) {
    ReminderGateway gateway(host_, [this]() -> AppServer& { return *direct_; });
    ClientDataSet rows("cdsSeedDesc", DescriptionRecord::layout());
    rows.Open();
    rows.Append();
    rows.FieldByName(DescriptionRecord::TXATIVPESS).SetValue(Blob{text});
    rows.FieldByName(ReminderRecord::CDOPERADOR).SetAsString(kOperator);
    rows.FieldByName(ReminderRecord::NRATIVPESS).SetAsString(number);
    rows.Post();
    gateway.SetDescAFazer(rows, false);
    host_.TakeCalls();
}

DataPacket AgendaServerTest::storedPacket() {
    const ServerResult result = direct_->call(
        "GetAFazer", {"", kOperator, DateTime(Date::fromParts(2000, 1, 1)), true, true, true});
    EXPECT_TRUE(result.ok()) << (result.ok() ? "" : result.error->message);
    return result.ok() ? result.payload.asPacket() : DataPacket{};
}

std::string AgendaServerTest::ServerRows() {
    const DataPacket packet = storedPacket();
    std::string text;
    for (const Row& row : packet.rows) {
        text += text.empty() ? "" : "; ";
        for (std::string_view field :
             {ReminderRecord::NRATIVPESS, ReminderRecord::DSREFEATPESS,
              ReminderRecord::IDSITUATPESS, ReminderRecord::IDALARATPESS}) {
            text += (field == ReminderRecord::NRATIVPESS ? "" : " ") +
                    row[packet.fieldIndex(field)].toText();
        }
    }
    return text;
}

TfrmAFazer& AgendaServerTest::OpenAgenda() {
    module_->IniProc();
    TfrmAFazer* form = module_->Agenda().frmAFazer();
    if (form == nullptr) {
        throw std::logic_error("a agenda não foi criada");
    }
    return *form;
}

std::string AgendaServerTest::ListRows(TfrmAFazer& form) {
    std::string text;
    TDBGrid& grid = form.dbsAFazer;
    for (int row = 0; row < grid.RowCount(); ++row) {
        text += (text.empty() ? "" : "; ") + grid.DataSet()->RowAt(row)[1].toText() + " " +
                grid.CellText(row, 4) + " " + grid.CellText(row, 0);
    }
    return text;
}

std::vector<std::string> AgendaServerTest::TakeCalls(std::vector<std::string> prefixes) {
    std::vector<std::string> kept;
    for (std::string& call : host_.TakeCalls()) {
        bool wanted = prefixes.empty();
        for (const std::string& prefix : prefixes) {
            wanted = wanted || call.rfind(prefix, 0) == 0;
        }
        if (wanted) {
            kept.push_back(std::move(call));
        }
    }
    return kept;
}

}  // namespace lembrete::testing
