// A short rendering of component state for test assertions, so a test checks a whole screen
// state in one comparison instead of many field asserts:
//   State(form, {"panNenhuma", "panOpcoes", "speAlarme"})
//     == "panNenhuma(clRed 'Nenhuma') panOpcoes(hidden) speAlarme(text=5)"
// Only what differs from a fresh control is listed: hidden, disabled, colour, caption in
// quotes, text, checked, item index, date, marks count, active page.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

#include "toolkit/component.h"
#include "toolkit/form.h"

namespace lembrete::testing {

std::string State(const Component& component);
// The states of the named components of `form`, separated by blanks.
std::string State(const TForm& form, std::initializer_list<std::string_view> names);

}  // namespace lembrete::testing
