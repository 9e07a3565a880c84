#include "server/calendar_export.h"

#include <chrono>

#include "data/import_key_record.h"
#include "data/series_record.h"
#include "data/utf8.h"
#include "interchange/calendar_writer.h"
#include "interchange/reminder_uid.h"
#include "net/base64.h"
#include "server/store_connection.h"

namespace lembrete {
namespace {

// The series' stored rule (columns 11 to 16) as CalendarEntry::rule; empty without one.
std::string ruleText(const SqlStatement& select) {
    if (!select.optionalText(11)) {
        return {};
    }
    const std::string_view names[] = {SeriesRecord::IDTIPOREPET, SeriesRecord::NRINTERREPET,
                                      SeriesRecord::IDDIASREPET, SeriesRecord::IDMODOMENSAL,
                                      SeriesRecord::DTINICREPET, SeriesRecord::DTTERMREPET};
    std::string text;
    for (std::size_t i = 0; i < std::size(names); ++i) {
        text += (i == 0 ? "" : ";") + std::string(names[i]) + "=" +
                select.optionalText(11 + i).value_or(std::string());
    }
    return text;
}

DateTime nowUtc() {
    const auto now = std::chrono::floor<std::chrono::seconds>(std::chrono::system_clock::now());
    const auto day = std::chrono::floor<std::chrono::days>(now);
    return DateTime(Date(day), std::chrono::duration_cast<std::chrono::milliseconds>(now - day));
}

}  // namespace

std::vector<CalendarEntry> CalendarExport::entries(StoreConnection& connection,
                                                   const std::string& operatorCode,
                                                   const ExportRange& range) {
    // Stored date-times are ISO text, so that text order is time order.
    auto& select = connection.statement(
        "SELECT A.NRATIVPESS, A.DSREFEATPESS, A.DTATIVPESS, A.IDSITUATPESS, A.IDALARATPESS,"
        " A.QTSEGUATPESS, A.IDUNITATPESS, A.NRPRIOATPESS, A.NRREPETATIVP, D.TXATIVPESS,"
        " K.DSCHAVEICAL, S.IDTIPOREPET, S.NRINTERREPET, S.IDDIASREPET, S.IDMODOMENSAL,"
        " S.DTINICREPET, S.DTTERMREPET"
        " FROM ATIVPESSOAL A LEFT JOIN DESCATIVPESSOAL D"
        " ON D.CDOPERADOR = A.CDOPERADOR AND D.NRATIVPESS = A.NRATIVPESS"
        " LEFT JOIN ICALATIVPESSOAL K"
        " ON K.CDOPERADOR = A.CDOPERADOR AND K.NRATIVPESS = A.NRATIVPESS"
        " LEFT JOIN SERIEATIVPESSOAL S"
        " ON S.CDOPERADOR = A.CDOPERADOR AND S.NRREPETATIVP = A.NRREPETATIVP"
        " WHERE A.CDOPERADOR = :op AND A.DTATIVPESS >= :first AND A.DTATIVPESS < :after"
        " ORDER BY A.DTATIVPESS, A.NRATIVPESS",
        "ttt", "tttttrttttttttttt");
    select.setText(0, operatorCode);
    select.setText(1, range.from ? range.from->iso() : std::string());
    select.setText(2, range.to ? range.to->addDays(1).iso() : std::string("9999"));
    std::vector<CalendarEntry> entries;
    for (bool row = select.execute(); row; row = select.fetch()) {
        if (range.numbers && !range.numbers->count(select.text(0))) {
            continue;
        }
        CalendarEntry entry;
        if (const auto key = select.optionalText(10)) {
            auto origin = ImportKeyRecord::origin(*key);
            entry.uid = std::move(origin.uid);
            entry.occurrence = std::move(origin.occurrence);
        } else {
            entry.uid = reminder_uid::ofReminder(operatorCode, select.text(0));
        }
        entry.reference = select.optionalText(1).value_or(std::string());
        entry.start = DateTime::parse(select.text(2)).value_or(DateTime());
        entry.done = select.text(3) == "R";
        entry.alarm = select.text(4) == "S";
        if (const auto lead = select.real(5)) {
            entry.lead = static_cast<int>(*lead);
        }
        entry.unit = select.optionalText(6).value_or(std::string());
        entry.priority = select.optionalText(7).value_or(std::string());
        const auto series = select.optionalText(8).value_or(std::string());
        if (!series.empty()) {
            entry.series = reminder_uid::ofSeries(operatorCode, series);
            entry.rule = ruleText(select);
        }
        if (const auto description = select.optionalText(9)) {
            // A description is stored as bytes: one written by an older program may not be
            // UTF-8, and the calendar is UTF-8 text.
            entry.description =
                utf8::fromUtf8OrLatin1(base64::decode(*description).value_or(std::string()));
        }
        entries.push_back(std::move(entry));
    }
    return entries;
}

std::string CalendarExport::text(StoreConnection& connection, const std::string& operatorCode,
                                 const ExportRange& range, const std::string& zoneName) {
    const CalendarWriter writer(zoneName, nowUtc());
    return writer.write(entries(connection, operatorCode, range));
}

}  // namespace lembrete
