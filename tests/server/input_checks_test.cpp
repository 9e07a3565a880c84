// Values a hostile or broken client may send, through a real lembrete-server: each is refused
// with a clear Portuguese message, never as an internal error, and nothing is stored.
#include <gtest/gtest.h>
#include <httplib.h>

#include <nlohmann/json.hpp>

#include "net/json_codec.h"
#include "net/json_rpc_app_server.h"
#include "net/rpc_error_codes.h"
#include "support/reminder_deltas.h"
#include "support/server_process.h"

namespace lembrete::testing {
namespace {

const DateTime kNine = DateTime(Date::fromParts(2026, 12, 8), std::chrono::hours(9));

class InputChecksTest : public ::testing::Test {
  protected:
    void SetUp() override {
        server_.addOperator("ANA", "senha-da-ana");
        server_.start();
        ASSERT_TRUE(ana_.Login("ANA", "senha-da-ana").ok());
        ASSERT_TRUE(ana_.call("GetPrxAtivPessoalBloco", {"ANA", 3}).ok());
    }

    // Posts a SetAfazer whose delta text is `delta`; returns the JSON-RPC error object.
    nlohmann::json setAfazer(const std::string& delta) {
        httplib::Client raw("127.0.0.1", server_.port());
        const auto body =
            R"({"jsonrpc":"2.0","method":"SetAfazer","params":[)" + delta + R"(],"id":7})";
        const auto response =
            raw.Post(JsonRpcAppServer::kPath, {{"Authorization", "Bearer " + ana_.token()}}, body,
                     "application/json");
        EXPECT_TRUE(response);
        return response ? nlohmann::json::parse(response->body).value("error", nlohmann::json())
                        : nlohmann::json();
    }

    std::size_t storedRows() {
        const auto agenda = ana_.call("GetAFazer", {"", "ANA", kNine, true, true, true});
        EXPECT_TRUE(agenda.ok());
        return agenda.ok() ? agenda.payload.asPacket().rows.size() : 0;
    }

    ServerProcess server_;
    JsonRpcAppServer ana_{"127.0.0.1", server_.port()};
};

TEST_F(InputChecksTest, TimeFieldsWithASignAreRefused) {
    const std::string good = json_codec::encodeVariant(
        Variant(reminderDelta({insertOf(reminderRow({"ANA", "1", "Sinal", kNine}))})));
    const std::string iso = "2026-12-08T09:00:00";
    ASSERT_NE(good.find(iso), std::string::npos);
    for (const std::string when :
         {"2026-12-08T-1:00:00", "2026-12-08T10:00:-1", "2026-12-08T10:-1:00",
          "2026-12-08T+9:00:00", "2026-12-08T09:00:00.-12"}) {
        std::string delta = good;
        delta.replace(delta.find(iso), iso.size(), when);
        const auto error = setAfazer(delta);
        EXPECT_EQ(error.value("code", 0), rpc_error::InvalidParams) << when << " " << error;
        EXPECT_NE(error.value("message", ""), "Erro interno do servidor.") << when;

        const auto agenda = ana_.call("GetAFazer", {"", "ANA", when, true, true, true});
        ASSERT_FALSE(agenda.ok()) << when;
        EXPECT_EQ(agenda.error->code, rpc_error::InvalidParams) << agenda.error->message;
    }
    EXPECT_EQ(storedRows(), 0u);
    EXPECT_EQ(setAfazer(good), nlohmann::json());
    EXPECT_EQ(storedRows(), 1u);
}

TEST_F(InputChecksTest, NumbersAreTheIssuedOnesWrittenOneWay) {
    for (const std::string number : {"0", "0000000000", "01", "003", "4"}) {
        const auto result =
            ana_.call("SetAfazer",
                      {Variant(reminderDelta(
                          {insertOf(reminderRow({"ANA", number, "Número " + number, kNine}))}))});
        ASSERT_FALSE(result.ok()) << number;
        EXPECT_EQ(result.error->code,
                  number == "4" ? rpc_error::NumberNotIssued : rpc_error::InvalidValue)
            << number << ": " << result.error->message;
    }
    EXPECT_EQ(storedRows(), 0u);
}

TEST_F(InputChecksTest, RefusedValuesSayWhatIsWrong) {
    // No priority travels as null; an empty text is not a priority.
    Row emptyPriority = reminderRow({"ANA", "1", "Prioridade vazia", kNine});
    emptyPriority[9] = "";
    const Row fractionalLead = reminderRow({"ANA", "1", "Antecedência", kNine, "P", "S", 1.5, "M"});
    const std::vector<std::pair<Row, std::string>> rows = {{emptyPriority, "NRPRIOATPESS"},
                                                           {fractionalLead, "QTSEGUATPESS"}};
    for (const auto& [row, field] : rows) {
        const auto result = ana_.call("SetAfazer", {Variant(reminderDelta({insertOf(row)}))});
        ASSERT_FALSE(result.ok()) << field;
        EXPECT_EQ(result.error->code, rpc_error::InvalidValue);
        EXPECT_NE(result.error->message.find(field), std::string::npos) << result.error->message;
    }
    const auto orphan = ana_.call(
        "SetDescAFazer", {Variant(descriptionDelta({insertOf(descriptionRow("ANA", "2", "x"))}))});
    ASSERT_FALSE(orphan.ok());
    EXPECT_EQ(orphan.error->code, rpc_error::Conflict);
    EXPECT_NE(orphan.error->message.find("não existe"), std::string::npos) << orphan.error->message;
    EXPECT_EQ(storedRows(), 0u);
}

}  // namespace
}  // namespace lembrete::testing
