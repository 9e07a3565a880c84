// AgendaServerTest: the agenda module against a real lembrete-server.
//
// Each test gets a server of its own on a free loopback port with a fresh SQLite file, one
// operator ("ANA") logged in, a scripted host whose transport is the client's JSON-RPC
// connection on that session, today fixed at Tuesday 8 December 2026 10:00, and a fresh
// AgendaModule. The editor entry is a recorder, so the agenda's calls of it can be checked.
// Reminders and descriptions are seeded through the reminder gateway on the test's own
// connection; storedPacket and ServerRows read back what the server holds.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "agenda/agenda_module.h"
#include "agenda/frm_a_fazer.h"
#include "net/json_rpc_app_server.h"
#include "support/reminder_deltas.h"
#include "support/scripted_host.h"
#include "support/server_process.h"

namespace lembrete::testing {

class AgendaServerTest : public ::testing::Test {
  protected:
    static constexpr const char* kOperator = "ANA";
    static constexpr const char* kPassword = "senha-da-ana";
    static const Date kToday;

    void SetUp() override;

    // Stores a reminder of the operator and returns the number the server handed out
    // (`values.operatorCode` and `values.number` are not used; an empty repetition stays null).
    std::string Seed(const ReminderValues& values);
    std::string Seed(const std::string& reference, DateTime when, const std::string& state = "P",
                     const std::string& alarm = "N", const std::string& priority = "1");
    void SeedDescription(const std::string& number, const std::string& text);
    // Every reminder the server holds for the operator from 2000 on, in the server's order
    // (ReminderRecord layout); an empty packet, and a failed test, when the call fails.
    DataPacket storedPacket();
    // The same as "number reference state alarm" joined by "; ".
    std::string ServerRows();

    // IniProc, then the agenda window (fails the test when there is none).
    TfrmAFazer& OpenAgenda();
    // The list as the grid shows it: "number reference state" per row, joined by "; ".
    static std::string ListRows(TfrmAFazer& form);
    // The host's log since the last call, keeping only the entries that start with one of
    // `prefixes` (all entries when empty).
    std::vector<std::string> TakeCalls(std::vector<std::string> prefixes = {});

    ServerProcess server_;
    ScriptedHost host_;
    std::unique_ptr<JsonRpcAppServer> direct_;
    std::unique_ptr<AgendaModule> module_;
    // (number, refresh) of every CriaManutAFazer call.
    std::vector<std::pair<std::string, bool>> editorCalls_;
};

}  // namespace lembrete::testing
