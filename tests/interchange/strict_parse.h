// Strict reading of written iCalendar text, by libical and by an independent parser.
#pragma once

#include <string>
#include <vector>

namespace lembrete::testing {

// What libical's parser and its RFC 5545 restriction check find wrong in `text`
// (X-LIC-ERROR properties, a failed check); empty when nothing.
std::vector<std::string> libicalProblems(const std::string& text);

// The number of VEVENTs the independent parser (strict_check.py) reads in `text`; throws
// std::runtime_error with its complaints when it refuses the text.
int independentEventCount(const std::string& text);

}  // namespace lembrete::testing
