// Record layouts of the reminder module and the meaning of their code values.
//
// ReminderRecord: one row of the server table ATIVPESSOAL as the client holds it (the agenda
// list and the editor's working copy). DescriptionRecord: the row holding a reminder's rich
// text. MarkedDateRecord: the days on which the operator has reminders. Each layout lists the
// fields in their order with type, width, origin (the server column a field stands for) and
// the client-only caption, alignment and visibility. The server checks incoming rows against
// the same layouts and codes, so client and server cannot drift apart.
#pragma once

#include <cmath>
#include <string>
#include <string_view>
#include <vector>

#include "data/data_packet.h"
#include "data/field_layout.h"

namespace lembrete {

struct ReminderRecord {
    static constexpr std::string_view kSchema = "DBHALVARD";
    static constexpr std::string_view kTable = "ATIVPESSOAL";

    // Field names, in the record's order.
    static constexpr std::string_view CDOPERADOR = "CDOPERADOR";
    static constexpr std::string_view NRATIVPESS = "NRATIVPESS";
    static constexpr std::string_view DSREFEATPESS = "DSREFEATPESS";
    static constexpr std::string_view DTATIVPESS = "DTATIVPESS";
    static constexpr std::string_view IDSITUATPESS = "IDSITUATPESS";
    static constexpr std::string_view IDALARATPESS = "IDALARATPESS";
    static constexpr std::string_view QTSEGUATPESS = "QTSEGUATPESS";
    static constexpr std::string_view IDUNITATPESS = "IDUNITATPESS";
    static constexpr std::string_view HORARIO = "HORARIO";
    static constexpr std::string_view NRPRIOATPESS = "NRPRIOATPESS";
    static constexpr std::string_view DATA = "DATA";
    static constexpr std::string_view NRREPETATIVP = "NRREPETATIVP";

    // Widths in characters.
    static constexpr int kOperatorWidth = 12;
    static constexpr int kNumberWidth = 10;
    static constexpr int kReferenceWidth = 100;
    static constexpr int kPriorityWidth = 3;

    // State (IDSITUATPESS): pending or done; a new row is stored pending.
    static constexpr std::string_view kPending = "P";
    static constexpr std::string_view kDone = "R";
    // Alarm (IDALARATPESS): on or off; marking a reminder done turns it off.
    static constexpr std::string_view kAlarmOn = "S";
    static constexpr std::string_view kAlarmOff = "N";
    // Unit of the alarm lead (IDUNITATPESS); empty: due at the time of the event.
    static constexpr std::string_view kUnitMinutes = "S";
    static constexpr std::string_view kUnitHours = "M";
    static constexpr std::string_view kUnitDays = "D";
    static constexpr std::string_view kUnitAtEvent = "";
    // Alarm lead (QTSEGUATPESS) and priority (NRPRIOATPESS, as digits) ranges.
    static constexpr int kMinLead = 1;
    static constexpr int kMaxLead = 1000;
    static constexpr int kMinPriority = 0;
    static constexpr int kMaxPriority = 999;

    // "DBHALVARD.ATIVPESSOAL.<column>".
    static std::string origin(std::string_view column);
    static const std::vector<FieldLayout>& layout();
    static std::vector<FieldDef> fields();

    static bool isState(std::string_view code) { return code == kPending || code == kDone; }
    static bool isAlarm(std::string_view code) { return code == kAlarmOn || code == kAlarmOff; }
    static bool isUnit(std::string_view code);
    // The stored form of an operator code as typed: its letters in upper case.
    static std::string operatorCode(std::string_view typed);
    // Whole units, as the spin box enters them.
    static bool isLead(double lead) {
        return lead >= kMinLead && lead <= kMaxLead && std::trunc(lead) == lead;
    }
    // As typed: one to three digits (blanks around them ignored), so 0..999.
    static bool isPriority(std::string_view text);
    // As stored: one to three digits and nothing else (no priority is stored as null).
    static bool isStoredPriority(std::string_view text);
};

struct DescriptionRecord {
    static constexpr std::string_view TXATIVPESS = "TXATIVPESS";  // blob: the rich text
    static const std::vector<FieldLayout>& layout();  // TXATIVPESS, CDOPERADOR, NRATIVPESS
    static std::vector<FieldDef> fields();
};

struct MarkedDateRecord {
    static const std::vector<FieldLayout>& layout();  // DTATIVPESS
    static std::vector<FieldDef> fields();
};

}  // namespace lembrete
