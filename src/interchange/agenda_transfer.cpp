#include "interchange/agenda_transfer.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "agenda/frm_a_fazer.h"
#include "data/reminder_record.h"
#include "interchange/calendar_reader.h"
#include "interchange/local_zone.h"
#include "shell/host_services.h"
#include "shell/hour_glass.h"
#include "toolkit/abandon.h"

namespace lembrete {
namespace {

using R = ReminderRecord;

// How far the suggested range of an export reaches after the selected day.
constexpr int kSuggestedRangeDays = 30;

std::vector<std::string> listedNumbers(TfrmAFazer& form) {
    std::vector<std::string> numbers;
    if (!form.cdsAFazer.Active()) {
        return numbers;
    }
    const DataPacket rows = form.cdsAFazer.Data();
    const auto index = static_cast<std::size_t>(rows.fieldIndex(R::NRATIVPESS));
    for (const auto& row : rows.rows) {
        numbers.push_back(row.at(index).toText());
    }
    return numbers;
}

std::size_t eventCount(const std::string& text) {
    std::size_t count = 0;
    for (auto at = text.find("BEGIN:VEVENT"); at != std::string::npos;
         at = text.find("BEGIN:VEVENT", at + 1)) {
        ++count;
    }
    return count;
}

// Writes `text` beside `path` first and then moves it over, so that a failed write leaves
// whatever the file held before.
void writeWhole(HostServices& host, const std::string& path, const std::string& text) {
    const std::filesystem::path target(path);
    std::filesystem::path partial = target;
    partial += ".parcial";
    bool written = false;
    {
        std::ofstream out(partial, std::ios::binary | std::ios::trunc);
        written =
            out && out.write(text.data(), static_cast<std::streamsize>(text.size())) && out.flush();
    }
    std::error_code error;
    if (written) {
        std::filesystem::rename(partial, target, error);
    }
    if (!written || error) {
        std::filesystem::remove(partial, error);
        host.MensErro("Não foi possível gravar o arquivo " + path +
                      ". Verifique a pasta, a permissão de escrita e o espaço livre. Nada foi "
                      "exportado.");
    }
}

std::string readWhole(HostServices& host, const std::string& path) {
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    if (error || std::filesystem::is_directory(path)) {
        host.MensErro("Não foi possível ler o arquivo " + path + ". Nada foi importado.");
    }
    // A file too large is refused before it is read into memory.
    CalendarReader::checkSize(size);
    std::ifstream in(path, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in.eof() && !in) {
        host.MensErro("Não foi possível ler o arquivo " + path + ". Nada foi importado.");
    }
    return text;
}

}  // namespace

AgendaTransfer::AgendaTransfer(AgendaModule& module, TransferDialogs& dialogs)
    : module_(module), dialogs_(dialogs) {}

TfrmAFazer& AgendaTransfer::agenda() const {
    TfrmAFazer* form = module_.Agenda().frmAFazer();
    if (form == nullptr) {
        throw std::logic_error("a agenda não está aberta");
    }
    return *form;
}

void AgendaTransfer::Exportar() {
    TfrmAFazer& form = agenda();
    HostServices& host = module_.Host();
    const std::vector<std::string> listed = listedNumbers(form);
    ExportChoice suggested;
    suggested.scope = listed.empty() ? ExportChoice::Scope::All : ExportChoice::Scope::Listed;
    suggested.from = form.SelectedDate();
    suggested.to = suggested.from.addDays(kSuggestedRangeDays);
    const auto choice = dialogs_.ChooseExport(listed.size(), suggested);
    if (!choice) {
        return;
    }
    std::optional<Date> from;
    std::optional<Date> to;
    std::optional<std::vector<std::string>> numbers;
    switch (choice->scope) {
        case ExportChoice::Scope::Listed:
            if (listed.empty()) {
                host.MensErro("Não há lembretes listados para exportar.");
            }
            numbers = listed;
            break;
        case ExportChoice::Scope::Range:
            if (choice->to < choice->from) {
                host.MensErro("A data final do período (" + choice->to.format() +
                              ") é anterior à inicial (" + choice->from.format() + ").");
            }
            from = choice->from;
            to = choice->to;
            break;
        case ExportChoice::Scope::All:
            break;
    }
    const auto path = dialogs_.SaveFilePath("lembretes.ics");
    if (!path) {
        return;
    }
    std::string text;
    {
        HourGlass hourGlass(host);
        text = form.gateway.GetICalAFazer(host.Operador(), localZoneName(), from, to, numbers);
        writeWhole(host, *path, text);
    }
    const std::size_t count = eventCount(text);
    host.ShowMsg(formatCount(count) +
                     (count == 1 ? " lembrete exportado" : " lembretes exportados") + " para " +
                     *path + ".",
                 mtInformation, mbOK, 0);
}

void AgendaTransfer::Importar() {
    TfrmAFazer& form = agenda();
    HostServices& host = module_.Host();
    const auto path = dialogs_.OpenFilePath();
    if (!path) {
        return;
    }
    CalendarContents contents;
    ReminderImporter importer(form.gateway, host.Operador());
    ImportPreview keeping;
    ImportPreview cutting;
    {
        HourGlass hourGlass(host);
        try {
            contents = CalendarReader(localZoneName()).read(readWhole(host, *path));
        } catch (const CalendarFileError& error) {
            host.MensErro(error.what());
        }
        keeping = importer.preview(contents, false);
        cutting = contents.longReferences.empty() ? keeping : importer.preview(contents, true);
    }
    const auto cut = dialogs_.ConfirmImport(keeping, cutting);
    if (!cut) {
        return;
    }
    const ImportPreview& chosen = *cut ? cutting : keeping;
    ImportReport report;
    {
        const auto progress =
            dialogs_.ShowProgress("Importando lembretes…", chosen.toAdd + chosen.toUpdate);
        bool stopped = false;
        try {
            report = importer.write(contents, *cut, [&](std::size_t done, std::size_t total) {
                if (!progress->Step(done, total) && done < total) {
                    stopped = true;
                    throw Abandon();
                }
            });
        } catch (const Abandon&) {
            if (!stopped) {
                throw;
            }
        }
        if (stopped) {
            host.MensErro("Importação interrompida. Nada foi importado.");
        }
    }
    form.LoadList();
    host.ShowMsg(report.text() + ".", mtInformation, mbOK, 0);
}

void AgendaTransfer::EnderecoCalendario() {
    TfrmAFazer& form = agenda();
    const std::string address =
        feedAddress(form.gateway.GetCalendarioAFazer(module_.Host().Operador()));
    dialogs_.ShowFeedAddress(address, [this] { return renewFeed(); });
}

std::optional<std::string> AgendaTransfer::renewFeed() {
    std::optional<std::string> renewed;
    AgendaModule::Guarded(module_.Host(), [&] {
        TfrmAFazer& form = agenda();
        HostServices& host = module_.Host();
        const std::string current = form.gateway.GetCalendarioAFazer(host.Operador());
        if (!current.empty() &&
            host.ShowMsg("O endereço atual deixará de funcionar: os programas e telefones que o "
                         "assinam precisarão do novo. Deseja gerar um novo endereço?",
                         mtConfirmation, mbYes | mbNo, 0) != mrYes) {
            return;
        }
        renewed = feedAddress(form.gateway.SetCalendarioAFazer(host.Operador()));
    });
    return renewed;
}

std::string AgendaTransfer::feedAddress(const std::string& path) const {
    return FeedAddress(module_.Host().WebURL(), module_.Host().WebPort(), path);
}

std::string AgendaTransfer::FeedAddress(const std::string& host, int port,
                                        const std::string& path) {
    if (path.empty()) {
        return {};
    }
    // An IPv6 address goes in brackets in an address.
    const bool bracket = host.find(':') != std::string::npos && !host.starts_with('[');
    return "http://" + (bracket ? "[" + host + "]" : host) + ":" + std::to_string(port) + path;
}

AgendaModule::CalendarEntries AgendaTransfer::Entries() {
    HostServices& host = module_.Host();
    const auto guarded = [this, &host](void (AgendaTransfer::*action)()) {
        return [this, &host, action] { AgendaModule::Guarded(host, [&] { (this->*action)(); }); };
    };
    return {guarded(&AgendaTransfer::Exportar), guarded(&AgendaTransfer::Importar),
            guarded(&AgendaTransfer::EnderecoCalendario)};
}

}  // namespace lembrete
