// Reminders out of a real lembrete-server (the export command) and into it again for another
// operator through the importer, over the client's JSON-RPC connection.
#include <gtest/gtest.h>

#include <map>

#include "data/reminder_record.h"
#include "interchange/calendar_reader.h"
#include "interchange/local_zone.h"
#include "interchange/reminder_importer.h"
#include "net/json_rpc_app_server.h"
#include "support/reminder_deltas.h"
#include "support/scripted_host.h"
#include "support/server_process.h"
#include "toolkit/abandon.h"

namespace lembrete::testing {
namespace {

using R = ReminderRecord;

DateTime at(int year, int month, int day, int hour, int minute = 0) {
    return DateTime::fromParts({static_cast<std::uint16_t>(year), static_cast<std::uint16_t>(month),
                                static_cast<std::uint16_t>(day)},
                               hour, minute);
}

class ImportRoundTripTest : public ::testing::Test {
  protected:
    void SetUp() override {
        server_.addOperator("ANA", "senha-da-ana");
        server_.addOperator("BETO", "senha-do-beto");
        server_.start();
        ana_ = connect("ANA", "senha-da-ana");
        beto_ = connect("BETO", "senha-do-beto");
    }

    std::unique_ptr<JsonRpcAppServer> connect(const std::string& code,
                                              const std::string& password) {
        auto connection = std::make_unique<JsonRpcAppServer>("127.0.0.1", server_.port());
        EXPECT_TRUE(connection->Login(code, password).ok());
        return connection;
    }

    ReminderGateway gateway(JsonRpcAppServer& connection) {
        return ReminderGateway(host_, [&connection]() -> AppServer& { return connection; });
    }

    // Stores rows as the editor does: numbers from the server, one repetition number for the
    // rows of a series, a description for each.
    void seed(const std::vector<ReminderValues>& rows, const std::vector<std::string>& texts) {
        auto anaGateway = gateway(*ana_);
        std::vector<Change> reminders;
        std::vector<Change> descriptions;
        std::map<std::string, std::string> series;
        for (std::size_t i = 0; i < rows.size(); ++i) {
            ReminderValues values = rows[i];
            values.number = anaGateway.GetPrxAtivPessoal("ANA");
            if (!values.repetition.empty()) {
                auto& issued = series[values.repetition];
                if (issued.empty()) {
                    issued = anaGateway.GetPrxNrRepetAtivPess("ANA");
                }
                values.repetition = issued;
            }
            reminders.push_back(insertOf(reminderRow(values)));
            descriptions.push_back(insertOf(descriptionRow("ANA", values.number, texts[i])));
        }
        ASSERT_TRUE(ana_->call("SetAfazer", {Variant(reminderDelta(reminders))}).ok());
        ASSERT_TRUE(ana_->call("SetDescAFazer", {Variant(descriptionDelta(descriptions))}).ok());
    }

    std::string exported(const std::string& code) {
        std::string text;
        EXPECT_EQ(server_.runCommand({"export", "--operator", code}, "", &text), 0);
        return text;
    }

    // The operator's rows as "date reference state alarm lead unit priority [series#k]
    // description", series numbered by first appearance, so that two operators compare.
    std::vector<std::string> rows(JsonRpcAppServer& connection, const std::string& code) {
        auto reader = gateway(connection);
        ClientDataSet list("cdsLista", R::layout());
        reader.GetAFazer({"", code, Date::fromParts(2000, 1, 1), true, true, true}, list);
        std::vector<std::string> result;
        std::map<std::string, int> series;
        ClientDataSet description("cdsDesc", DescriptionRecord::layout());
        for (list.First(); !list.Eof(); list.Next()) {
            const auto text = [&](std::string_view field) {
                return list.FieldByName(field).AsString();
            };
            const std::string repetition = text(R::NRREPETATIVP);
            std::string tie;
            if (!repetition.empty()) {
                tie = " serie#" +
                      std::to_string(series.emplace(repetition, series.size() + 1).first->second);
            }
            reader.GetDescAFazer(code, text(R::NRATIVPESS), description);
            const std::string alarm = text(R::IDALARATPESS);
            result.push_back(
                list.FieldByName(R::DTATIVPESS).AsDateTime().format() + " " +
                text(R::DSREFEATPESS) + " " + text(R::IDSITUATPESS) + " " + alarm +
                (alarm == "S" ? " " + text(R::QTSEGUATPESS) + text(R::IDUNITATPESS) : "") +
                " p=" + text(R::NRPRIOATPESS) + tie + " " +
                (description.RecordCount() > 0
                     ? description.FieldByName(DescriptionRecord::TXATIVPESS).AsString()
                     : std::string()));
        }
        return result;
    }

    void seedEveryKind();

    ImportReport import(const std::string& text, bool cut = false) {
        auto betoGateway = gateway(*beto_);
        ReminderImporter importer(betoGateway, "BETO");
        return importer.write(CalendarReader(localZoneName()).read(text), cut);
    }

    ServerProcess server_;
    ScriptedHost host_;
    std::unique_ptr<JsonRpcAppServer> ana_;
    std::unique_ptr<JsonRpcAppServer> beto_;
};

// Every kind of reminder the editor makes, for ANA.
void ImportRoundTripTest::seedEveryKind() {
    const std::string rich =
        "<!DOCTYPE HTML><html><head><style>p { white-space: pre-wrap; }</style></head><body>"
        "<p><span style=\" font-weight:700;\">Pauta</span>: " +
        std::string(3000, 'a') + "</p><p>ç, ã; é</p></body></html>";
    std::vector<ReminderValues> rows = {
        {"ANA", "", "Único sem alarme", at(2026, 12, 10, 9, 30), "P", "N", Variant(15.0), "S", "5"},
        {"ANA", "", "Alarme em minutos", at(2026, 12, 11, 8), "P", "S", Variant(15.0), "S", "1"},
        {"ANA", "", "Alarme em horas", at(2026, 12, 11, 9), "P", "S", Variant(24.0), "M", "999"},
        {"ANA", "", "Alarme em dias", at(2026, 12, 11, 10), "P", "S", Variant(3.0), "D", ""},
        {"ANA", "", "Alarme na hora", at(2026, 12, 11, 11), "P", "S", Variant(), "", "0"},
        {"ANA", "", "Feito", at(2026, 12, 1, 14), "R", "N", Variant(), "S", "10"},
    };
    std::vector<std::string> texts = {"", "simples", rich, "", "", "feito"};
    const struct {
        const char* name;
        std::vector<DateTime> days;
    } series[] = {
        {"Diário", {at(2027, 1, 4, 7), at(2027, 1, 5, 7), at(2027, 1, 6, 7)}},
        {"Semanal", {at(2027, 1, 4, 18), at(2027, 1, 8, 18), at(2027, 1, 11, 18)}},
        {"Mensal", {at(2027, 1, 31, 12), at(2027, 2, 28, 12), at(2027, 3, 31, 12)}},
        {"Anual", {at(2028, 2, 29, 6), at(2029, 2, 28, 6)}},
    };
    for (const auto& one : series) {
        for (const auto& day : one.days) {
            rows.push_back({"ANA", "", one.name, day, "P", "S", Variant(1.0), "M", "50",
                            std::string(one.name)});
            texts.push_back(std::string("série ") + one.name);
        }
    }
    seed(rows, texts);
}

TEST_F(ImportRoundTripTest, EveryKindOfReminderComesBackAsTheSameRows) {
    seedEveryKind();
    const auto report = import(exported("ANA"));
    EXPECT_EQ(report.text(), "17 lembretes importados, 0 recusados");
    EXPECT_EQ(rows(*beto_, "BETO"), rows(*ana_, "ANA"));
    EXPECT_TRUE(host_.Errors().empty());
}

TEST_F(ImportRoundTripTest, ImportingTheSameFileAgainUpdatesInsteadOfAdding) {
    seedEveryKind();
    const std::string file = exported("ANA");
    import(file);
    const auto first = rows(*beto_, "BETO");
    std::string changed = file;
    for (auto at = changed.find("SUMMARY:Feito"); at != std::string::npos;
         at = changed.find("SUMMARY:Feito", at + 1)) {
        changed.replace(at, 13, "SUMMARY:Feito e revisto");
    }
    auto betoGateway = gateway(*beto_);
    ReminderImporter importer(betoGateway, "BETO");
    const auto contents = CalendarReader(localZoneName()).read(changed);
    const auto preview = importer.preview(contents, false);
    EXPECT_EQ(preview.toAdd, 0u);
    EXPECT_EQ(preview.toUpdate, 17u);
    EXPECT_EQ(importer.write(contents, false).imported, 17u);
    auto second = rows(*beto_, "BETO");
    ASSERT_EQ(second.size(), first.size());
    std::size_t differing = 0;
    for (std::size_t i = 0; i < first.size(); ++i) {
        differing += first[i] != second[i] ? 1 : 0;
    }
    EXPECT_EQ(differing, 1u);
    EXPECT_NE(std::find_if(second.begin(), second.end(),
                           [](const std::string& row) {
                               return row.find("Feito e revisto R N p=10 feito") !=
                                      std::string::npos;
                           }),
              second.end());
}

TEST_F(ImportRoundTripTest, PreviewsCountsRangeRefusalsAndLongReferences) {
    const std::string file =
        "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:x\r\n"
        "BEGIN:VEVENT\r\nUID:a\r\nDTSTAMP:20250101T000000Z\r\nDTSTART:20250301T090000\r\n"
        "SUMMARY:" +
        std::string(120, 'r') +
        "\r\nEND:VEVENT\r\n"
        "BEGIN:VEVENT\r\nUID:b\r\nDTSTAMP:20250101T000000Z\r\nDTSTART:20250305T090000\r\n"
        "RRULE:FREQ=YEARLY;COUNT=80\r\nSUMMARY:Aniversário\r\nEND:VEVENT\r\n"
        "END:VCALENDAR\r\n";
    const auto contents = CalendarReader(localZoneName()).read(file);
    auto betoGateway = gateway(*beto_);
    ReminderImporter importer(betoGateway, "BETO");
    EXPECT_EQ(importer.preview(contents, false).text(),
              "75 lembretes serão importados.\n"
              "Período: de 05/03/2025 a 05/03/2099.\n"
              "1 referência passa de 100 caracteres.\n"
              "6 serão recusados:\n"
              "- Aniversário: repete-se depois de 31/12/2099; essas ocorrências não serão "
              "importadas (5 ocorrências)\n"
              "- " +
                  std::string(40, 'r') + "…: a referência passa de 100 caracteres");
    EXPECT_EQ(importer.write(contents, false).text(), "75 lembretes importados, 6 recusados");
    EXPECT_EQ(rows(*beto_, "BETO").size(), 75u);
    const auto cut = importer.write(contents, true);
    EXPECT_EQ(cut.text(), "76 lembretes importados, 5 recusados");
    const auto stored = rows(*beto_, "BETO");
    ASSERT_EQ(stored.size(), 76u);
    EXPECT_EQ(stored.front(), "01/03/2025 09:00:00 " + std::string(100, 'r') + " P N p= ");
}

TEST_F(ImportRoundTripTest, AFailedImportWritesNothing) {
    const std::string file =
        "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:x\r\n"
        "BEGIN:VEVENT\r\nUID:a\r\nDTSTAMP:20250101T000000Z\r\nDTSTART:20250301T090000\r\n"
        "SUMMARY:Bom\r\nEND:VEVENT\r\n"
        "BEGIN:VEVENT\r\nUID:b\r\nDTSTAMP:20250101T000000Z\r\nDTSTART:20250302T090000\r\n"
        "SUMMARY:Outro\r\nEND:VEVENT\r\n"
        "END:VCALENDAR\r\n";
    auto contents = CalendarReader(localZoneName()).read(file);
    // A value the server refuses, in the last row written: nothing of the import may stay.
    contents.entries.back().unit = "X";
    auto betoGateway = gateway(*beto_);
    ReminderImporter importer(betoGateway, "BETO");
    EXPECT_THROW(importer.write(contents, false), Abandon);
    EXPECT_EQ(rows(*beto_, "BETO"), std::vector<std::string>{});
    EXPECT_EQ(host_.Errors().size(), 1u);
}

// A reminder that came from another program goes back with the UID it came with (and its
// RECURRENCE-ID when it was one occurrence of a repeating event), so that program and a
// second import know it again; through the client's export call.
TEST_F(ImportRoundTripTest, ReExportKeepsTheImportedUidAndOccurrence) {
    const std::string file =
        "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:x\r\n"
        "BEGIN:VEVENT\r\nUID:consulta@fora\r\nDTSTAMP:20250101T000000Z\r\n"
        "DTSTART:20250301T090000Z\r\nSUMMARY:Consulta\r\nEND:VEVENT\r\n"
        "BEGIN:VEVENT\r\nUID:aula semanal@fora\r\nDTSTAMP:20250101T000000Z\r\n"
        "DTSTART:20250303T190000Z\r\nRRULE:FREQ=WEEKLY;COUNT=3\r\nSUMMARY:Aula\r\nEND:VEVENT\r\n"
        "END:VCALENDAR\r\n";
    EXPECT_EQ(import(file).text(), "4 lembretes importados, 0 recusados");
    auto betoGateway = gateway(*beto_);
    const std::string again =
        betoGateway.GetICalAFazer("BETO", localZoneName(), std::nullopt, std::nullopt, {});
    std::vector<std::string> identities;
    for (const auto& entry : CalendarReader("UTC").read(again).entries) {
        identities.push_back(entry.uid + "|" + entry.occurrence + "|" + entry.start.format());
    }
    EXPECT_EQ(identities, (std::vector<std::string>{
                              "consulta@fora||01/03/2025 09:00:00",
                              "aula semanal@fora|20250303T190000Z|03/03/2025 19:00:00",
                              "aula semanal@fora|20250310T190000Z|10/03/2025 19:00:00",
                              "aula semanal@fora|20250317T190000Z|17/03/2025 19:00:00",
                          }));
    EXPECT_NE(again.find("RECURRENCE-ID:20250310T190000Z"), std::string::npos);
    // Importing what was exported finds every reminder again.
    ReminderImporter importer(betoGateway, "BETO");
    const auto preview = importer.preview(CalendarReader(localZoneName()).read(again), false);
    EXPECT_EQ(preview.toAdd, 0u);
    EXPECT_EQ(preview.toUpdate, 4u);
}

}  // namespace
}  // namespace lembrete::testing
