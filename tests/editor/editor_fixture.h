// EditorFixture: the reminder editor as a user meets it. On top of the shared agenda fixture
// (a real lembrete-server with a fresh SQLite file, one operator logged in, the scripted host
// and the module), today is Monday 16 July 2007, the editor unit hands the module its real
// entry, and the agenda window is open; the editor is opened from the module with a script
// that plays the user while the dialog is modal.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "editor/editor_unit.h"
#include "support/agenda_fixture.h"

namespace lembrete::testing {

class EditorFixture : public AgendaServerTest {
  protected:
    void SetUp() override;

    // Opens the editor for `number` through the agenda module's entry and runs `user` while
    // the dialog is modal. Returns whether the dialog was still open when `user` finished.
    bool edit(const std::string& number, const std::function<void(TfrmManutAFazer&)>& user,
              bool refresh = true);

    // Every reminder of the operator from 2000 on, one line each in date order:
    // "dd/mm/yyyy HH:MM:SS|reference|state|alarm|lead|unit|priority".
    std::vector<std::string> storedRows();
    // The description text of reminder `number`, or "<none>".
    std::string storedDescription(const std::string& number);
    // Seeds a pending reminder with priority 7 (and, when `description` is given, its
    // description).
    std::string seedReminder(const std::string& reference, DateTime when,
                             const std::string& alarm = "N", Variant lead = {},
                             const std::string& unit = "",
                             const std::string* description = nullptr);
    // Server calls logged since the last TakeCalls, names only ("SetAfazer", "GetAFazer" ...).
    std::vector<std::string> serverCallsSince();

    std::unique_ptr<EditorUnit> unit_;
    TfrmAFazer* agenda_ = nullptr;
};

}  // namespace lembrete::testing
