// The agenda's calendar-file items headless, against a real lembrete-server: reminders made in
// the editor, exported, deleted and imported again open in the editor as they were; a long
// import under its progress bar, stopped with nothing written; the operator's own file
// imported again updates instead of adding; the feed's address.
#include "interchange/agenda_transfer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "data/reminder_record.h"
#include "editor/editor_fixture.h"
#include "support/component_state.h"

namespace lembrete::testing {
namespace {

using R = ReminderRecord;
using Lines = std::vector<std::string>;

// The user's answers to the transfer dialogs, and what the dialogs were shown.
class ScriptedDialogs : public TransferDialogs {
  public:
    std::optional<ExportChoice> exportChoice;
    std::optional<std::string> file;
    std::optional<bool> cut = false;
    std::size_t stopAt = 0;  // the progress bar's "Cancelar" at this step (0: never)
    Lines log;

    std::optional<ExportChoice> ChooseExport(std::size_t listed, const ExportChoice&) override {
        log.push_back("ChooseExport(" + std::to_string(listed) + ")");
        return exportChoice;
    }
    std::optional<std::string> SaveFilePath(const std::string& name) override {
        log.push_back("SaveFilePath(" + name + ")");
        return file;
    }
    std::optional<std::string> OpenFilePath() override {
        log.push_back("OpenFilePath");
        return file;
    }
    std::optional<bool> ConfirmImport(const ImportPreview& keeping, const ImportPreview&) override {
        log.push_back("ConfirmImport(" + keeping.text() + ")");
        return cut;
    }
    std::unique_ptr<TransferProgress> ShowProgress(const std::string& caption,
                                                   std::size_t total) override {
        log.push_back("ShowProgress(" + caption + " " + std::to_string(total) + ")");
        return std::make_unique<Progress>(*this);
    }
    void ShowFeedAddress(const std::string& address, const Renewal& renew) override {
        log.push_back("ShowFeedAddress(" + address + ")");
        const auto renewed = renew();
        log.push_back("renewed(" + renewed.value_or("none") + ")");
    }

  private:
    class Progress : public TransferProgress {
      public:
        explicit Progress(ScriptedDialogs& owner) : owner_(owner) {}
        bool Step(std::size_t done, std::size_t total) override {
            owner_.log.push_back("Step(" + std::to_string(done) + "/" + std::to_string(total) +
                                 ")");
            return owner_.stopAt == 0 || done < owner_.stopAt;
        }

      private:
        ScriptedDialogs& owner_;
    };
};

class AgendaTransferTest : public EditorFixture {
  protected:
    void SetUp() override {
        EditorFixture::SetUp();
        transfer_ = std::make_unique<AgendaTransfer>(*module_, dialogs_);
        entries_ = transfer_->Entries();
        folder_ = std::filesystem::temp_directory_path() /
                  ("lembrete-transfer-" + std::to_string(server_.port()));
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    std::string path(const std::string& name) const { return (folder_ / name).string(); }

    // What the editor shows for each stored reminder, in date order.
    Lines editorStates() {
        Lines states;
        const DataPacket stored = storedPacket();
        for (const Row& row : stored.rows) {
            const std::string number = row[stored.fieldIndex(R::NRATIVPESS)].toText();
            // The editor reads its reminder with the agenda's filters: the agenda goes to it.
            agenda_->ShowReminder(row[stored.fieldIndex(R::DTATIVPESS)].asDateTime().date(),
                                  number);
            edit(number, [&](TfrmManutAFazer& f) {
                std::string state =
                    State(f, {"drtDesc", "depData", "dtpHora", "medPrioridade", "chbAlarme",
                              "speAlarme", "cbbAlarme", "chbHoraEvento"});
                f.pgcGeral.SelectPage(f.tshObservacao);
                state += " " + State(f, {"dbrTxAtivPess"});
                f.pgcGeral.SelectPage(f.tshRepeticao);
                state += " " + State(f, {"edtInfo", "panNenhuma", "panDiario", "depDataTermino"});
                states.push_back(state);
                f.bitCancela.Click();
            });
        }
        return states;
    }

    void deleteEverything() {
        std::vector<Change> deletes;
        for (const Row& row : storedPacket().rows) {
            deletes.push_back(deleteOf(row));
        }
        ASSERT_TRUE(direct_->call("SetAfazer", {Variant(reminderDelta(deletes))}).ok());
    }

    ScriptedDialogs dialogs_;
    std::unique_ptr<AgendaTransfer> transfer_;
    AgendaModule::CalendarEntries entries_;
    std::filesystem::path folder_;
};

TEST_F(AgendaTransferTest, RemindersFromTheEditorComeBackToTheEditorAsTheyWere) {
    const struct {
        const char* reference;
        const char* day;
        const char* time;      // "" for the editor's default
        const char* priority;  // "" for none
        const char* lead;      // "" for the alarm at the event
        int unit;
        const char* description;
        const char* dailyUntil;  // a daily series to this day; "" for a single reminder
    } reminders[] = {
        {"Reunião de pauta", "20/07/2007", "14:30", "5", "15", 1,
         "<html><body><p><b>Pauta</b>: orçamento</p></body></html>", ""},
        {"Na hora", "21/07/2007", "", "", "", 0, "", ""},
        {"Caminhada", "23/07/2007", "", "999", "2", 2, "", "25/07/2007"},
    };
    for (const auto& one : reminders) {
        edit("", [&](TfrmManutAFazer& f) {
            f.drtDesc.TypeText(one.reference);
            f.depData.EnterText(one.day);
            if (*one.time) {
                f.dtpHora.EnterText(one.time);
            }
            f.medPrioridade.TypeText(one.priority);
            f.chbAlarme.Click();
            if (*one.lead) {
                f.speAlarme.EnterText(one.lead);
                f.cbbAlarme.SelectItem(one.unit);
            } else {
                f.chbHoraEvento.Click();
            }
            f.pgcGeral.SelectPage(f.tshObservacao);
            f.dbrTxAtivPess.EnterText(one.description);
            if (*one.dailyUntil) {
                f.pgcGeral.SelectPage(f.tshRepeticao);
                f.panDiario.Click();
                f.depDataTermino.EnterText(one.dailyUntil);
            }
            f.bitConfirma.Click();
        });
    }
    const Lines before = editorStates();
    ASSERT_EQ(before.size(), 5u);
    const Lines rowsBefore = storedRows();

    dialogs_.exportChoice = ExportChoice{ExportChoice::Scope::All, {}, {}};
    dialogs_.file = path("agenda.ics");
    host_.AnswerShowMsg(mrOk);
    entries_.exportFile();
    EXPECT_EQ(host_.Errors(), Lines{});
    deleteEverything();
    ASSERT_TRUE(storedRows().empty());

    host_.AnswerShowMsg(mrOk);
    entries_.importFile();
    EXPECT_EQ(host_.Errors(), Lines{});
    EXPECT_EQ(storedRows(), rowsBefore);
    EXPECT_EQ(editorStates(), before);
    // The series is one series again.
    std::set<std::string> series;
    for (const Row& row : storedPacket().rows) {
        series.insert(row[storedPacket().fieldIndex(R::NRREPETATIVP)].toText());
    }
    EXPECT_EQ(series.size(), 2u);
}

TEST_F(AgendaTransferTest, ALongImportShowsItsProgressAndStopsWithNothingWritten) {
    std::ofstream(path("longo.ics"), std::ios::binary)
        << "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:x\r\nBEGIN:VEVENT\r\nUID:longo@x\r\n"
           "DTSTAMP:20070101T000000Z\r\nDTSTART:20080101T070000\r\nRRULE:FREQ=DAILY;COUNT=1200\r\n"
           "SUMMARY:Remédio\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n";
    dialogs_.file = path("longo.ics");
    dialogs_.stopAt = 1000;
    entries_.importFile();
    EXPECT_EQ(dialogs_.log, (Lines{"OpenFilePath",
                                   "ConfirmImport(1.200 lembretes serão importados.\n"
                                   "Período: de 01/01/2008 a 14/04/2011.)",
                                   "ShowProgress(Importando lembretes… 1200)", "Step(500/1200)",
                                   "Step(1000/1200)"}));
    EXPECT_EQ(host_.Errors(), Lines{"Importação interrompida. Nada foi importado."});
    EXPECT_TRUE(storedRows().empty());

    dialogs_.log.clear();
    dialogs_.stopAt = 0;
    host_.TakeCalls();
    host_.AnswerShowMsg(mrOk);
    entries_.importFile();
    EXPECT_EQ(Lines(dialogs_.log.begin() + 2, dialogs_.log.end()),
              (Lines{"ShowProgress(Importando lembretes… 1200)", "Step(500/1200)",
                     "Step(1000/1200)", "Step(1200/1200)"}));
    EXPECT_EQ(storedRows().size(), 1200u);
    const Lines shown = TakeCalls({"ShowMsg"});
    EXPECT_EQ(shown, Lines{"ShowMsg(1.200 lembretes importados, 0 recusados.)"});
    // The agenda's list was read again after the import.
    EXPECT_EQ(agenda_->SelectedDate(), Date::fromParts(2007, 7, 16));
}

TEST_F(AgendaTransferTest, TheListedRemindersExportAndTheirFileImportsAsAnUpdate) {
    seedReminder("Hoje cedo", DateTime::fromParts({2007, 7, 16}, 8, 0));
    seedReminder("Hoje tarde", DateTime::fromParts({2007, 7, 16}, 15, 0));
    seedReminder("Amanhã", DateTime::fromParts({2007, 7, 17}, 8, 0));
    agenda_->LoadList();
    ASSERT_EQ(agenda_->cdsAFazer.RecordCount(), 2);
    dialogs_.exportChoice = ExportChoice{ExportChoice::Scope::Listed, {}, {}};
    dialogs_.file = path("listados.ics");
    host_.TakeCalls();
    host_.AnswerShowMsg(mrOk);
    entries_.exportFile();
    EXPECT_EQ(TakeCalls({"ShowMsg"}),
              Lines{"ShowMsg(2 lembretes exportados para " + path("listados.ics") + ".)"});
    EXPECT_EQ(dialogs_.log, (Lines{"ChooseExport(2)", "SaveFilePath(lembretes.ics)"}));

    // Imported again by the same operator: the same two, updated, no copies.
    dialogs_.log.clear();
    host_.AnswerShowMsg(mrOk);
    entries_.importFile();
    ASSERT_GE(dialogs_.log.size(), 2u);
    EXPECT_EQ(dialogs_.log[1],
              "ConfirmImport(2 lembretes serão importados (0 novos, 2 já importados antes, que "
              "serão atualizados).\nPeríodo: de 16/07/2007 a 16/07/2007.)");
    EXPECT_EQ(storedRows().size(), 3u);

    // A file that cannot be written leaves nothing behind and says so.
    dialogs_.file = path("sem-pasta/listados.ics");
    entries_.exportFile();
    ASSERT_FALSE(host_.Errors().empty());
    EXPECT_EQ(host_.Errors().back(),
              "Não foi possível gravar o arquivo " + path("sem-pasta/listados.ics") +
                  ". Verifique a pasta, a permissão de escrita e o espaço livre. Nada foi "
                  "exportado.");
}

TEST_F(AgendaTransferTest, TheFeedAddressIsOnTheClientsServer) {
    host_.SetWebURL("127.0.0.1");
    host_.SetWebPort(server_.port());
    entries_.feedAddress();
    ASSERT_EQ(dialogs_.log.size(), 2u);
    EXPECT_EQ(dialogs_.log[0], "ShowFeedAddress()");
    const std::string prefix =
        "renewed(http://127.0.0.1:" + std::to_string(server_.port()) + "/calendario/";
    EXPECT_TRUE(dialogs_.log[1].starts_with(prefix)) << dialogs_.log[1];

    // Renewing an address in use asks first; "Não" keeps it.
    dialogs_.log.clear();
    host_.AnswerShowMsg(mrNo);
    entries_.feedAddress();
    EXPECT_TRUE(dialogs_.log[0].starts_with("ShowFeedAddress(http://127.0.0.1:"));
    EXPECT_EQ(dialogs_.log[1], "renewed(none)");

    const struct {
        const char* host;
        const char* path;
        const char* address;
    } cases[] = {
        {"servidor", "/calendario/x.ics", "http://servidor:8300/calendario/x.ics"},
        {"::1", "/calendario/x.ics", "http://[::1]:8300/calendario/x.ics"},
        {"[::1]", "/calendario/x.ics", "http://[::1]:8300/calendario/x.ics"},
        {"servidor", "", ""},
    };
    for (const auto& one : cases) {
        EXPECT_EQ(AgendaTransfer::FeedAddress(one.host, 8300, one.path), one.address) << one.host;
    }
}

}  // namespace
}  // namespace lembrete::testing
