#include "agenda/agenda_views.h"

#include "agenda/agenda_module.h"
#include "agenda/agenda_printout.h"
#include "agenda/frm_a_fazer.h"
#include "agenda/frm_procurar.h"
#include "data/reminder_record.h"
#include "data/supported_dates.h"
#include "shell/host_services.h"
#include "toolkit/abandon.h"

namespace lembrete {

const char* const AgendaViews::kFromDayOnHint =
    "Nas visões Semana e Mês a lista mostra o dia selecionado; \"A partir da data "
    "selecionada\" vale na visão Dia.";

AgendaViews::AgendaViews(TfrmAFazer& form)
    : sbtDia(form.Add<TSpeedButton>("sbtDia")),
      sbtSemana(form.Add<TSpeedButton>("sbtSemana")),
      sbtMes(form.Add<TSpeedButton>("sbtMes")),
      mnuVisaoDia(form.Add<TMenuItem>("mnuVisaoDia")),
      mnuVisaoSemana(form.Add<TMenuItem>("mnuVisaoSemana")),
      mnuVisaoMes(form.Add<TMenuItem>("mnuVisaoMes")),
      grdVisao(form.Add<TCalendarGrid>("grdVisao")),
      sbtProcurar(form.Add<TSpeedButton>("sbtProcurar")),
      mnuProcurar(form.Add<TMenuItem>("mnuProcurar")),
      form_(form),
      rows_("cdsVisao", ReminderRecord::layout()) {
    const struct {
        TSpeedButton& button;
        TMenuItem& item;
        const char* caption;
        const char* shortCut;
        ViewKind kind;
    } views[] = {{sbtDia, mnuVisaoDia, "Dia", "Ctrl+1", ViewKind::Day},
                 {sbtSemana, mnuVisaoSemana, "Semana", "Ctrl+2", ViewKind::Week},
                 {sbtMes, mnuVisaoMes, "Mês", "Ctrl+3", ViewKind::Month}};
    for (const auto& view : views) {
        view.button.SetCaption(view.caption);
        view.button.SetHint(std::string("Ver ") + view.caption + " (" + view.shortCut + ")");
        view.item.SetCaption(view.caption);
        view.item.SetShortCut(view.shortCut);
        view.item.SetVisible(false);
        form.mnuManutencao.Add(view.item);
        const ViewKind kind = view.kind;
        view.button.OnClick = [this, kind] { Show(kind); };
        view.item.OnClick = [this, kind] { Show(kind); };
    }
    grdVisao.SetVisible(false);
    grdVisao.SetColor(clInfoBk);
    grdVisao.OnCellClick = [this](int cell, int entry) { grdVisaoCellClick(cell, entry); };
    grdVisao.OnCellDblClick = [this](int cell, int entry) { grdVisaoCellDblClick(cell, entry); };
    grdVisao.OnKeySelect = [this](const ViewSelection& selection) { select(selection); };
    grdVisao.OnKeyOpen = [this](const ViewSelection& selection) { open(selection); };
    sbtDia.SetFont(TFont{clBlack, true});
    sbtProcurar.SetCaption("Procurar");
    sbtProcurar.SetHint("Procurar em todas as datas (Ctrl+Shift+F)");
    mnuProcurar.SetCaption("Procurar em todas as datas");
    mnuProcurar.SetShortCut("Ctrl+Shift+F");
    mnuProcurar.SetVisible(false);
    form.mnuManutencao.Add(mnuProcurar);
    sbtProcurar.OnClick = [this] { sbtProcurarClick(); };
    mnuProcurar.OnClick = [this] { sbtProcurarClick(); };
}

AgendaViews::~AgendaViews() = default;

bool AgendaViews::PrintShown() {
    if (kind_ == ViewKind::Day) {
        return false;
    }
    const CalendarView& view = grdVisao.View();
    PrintDocument document = ListingPrintout(rows_, form_.Filter(), view.Range());
    document.title =
        (kind_ == ViewKind::Week ? "Lembretes da semana: " : "Lembretes do mês: ") + view.Caption();
    form_.Module().Host().PrintPreview(document);
    return true;
}

void AgendaViews::sbtProcurarClick() {
    if (search_ == nullptr) {
        search_ = createForm<TfrmProcurar>(form_.Module().Host(), form_.gateway);
    }
    search_->ShowModal();
    if (const auto& picked = search_->Picked()) {
        if (search_->PickedDone() && !form_.ckcRealizados.Checked()) {
            form_.ckcRealizados.SetChecked(true);
        }
        form_.ShowReminder(picked->day, picked->number);
    }
}

void AgendaViews::Show(ViewKind kind) {
    const bool listChanges =
        form_.ckcTodos.Checked() && (kind == ViewKind::Day) != (kind_ == ViewKind::Day);
    kind_ = kind;
    sbtDia.SetFont(TFont{clBlack, kind == ViewKind::Day});
    sbtSemana.SetFont(TFont{clBlack, kind == ViewKind::Week});
    sbtMes.SetFont(TFont{clBlack, kind == ViewKind::Month});
    grdVisao.SetVisible(kind != ViewKind::Day);
    form_.ckcTodos.SetEnabled(kind == ViewKind::Day);
    form_.ckcTodos.SetHint(kind == ViewKind::Day ? std::string() : kFromDayOnHint);
    if (listChanges) {
        form_.LoadList();  // reads the view too
    } else {
        Reload();
    }
}

void AgendaViews::Reload() {
    if (kind_ == ViewKind::Day) {
        return;
    }
    const Date selected = form_.SelectedDate();
    HostServices& host = form_.Module().Host();
    try {
        form_.gateway.GetAFazerPeriodo(form_.Filter(), CalendarView::RangeOf(kind_, selected),
                                       rows_);
    } catch (const Abandon&) {
        rows_.Close();
        grdVisao.SetView(CalendarView(kind_, selected, host.Today(), host.Now(), rows_));
        throw;
    }
    grdVisao.SetView(CalendarView(kind_, selected, host.Today(), host.Now(), rows_));
}

bool AgendaViews::select(const ViewSelection& selection) {
    // A view of January 2000 shows days of December 1999, which the agenda does not go to.
    if (selection.day < kFirstSupportedDate || selection.day > kLastSupportedDate) {
        return false;
    }
    if (form_.SelectedDate() != selection.day) {
        // The calendar's change reloads the list and this view.
        form_.dbcAFazer.SetDate(selection.day);
        form_.MoveCalendario(0, 0);
    }
    if (!selection.number.empty() && form_.cdsAFazer.Active()) {
        form_.cdsAFazer.Locate(ReminderRecord::NRATIVPESS, selection.number);
    }
    return true;
}

void AgendaViews::grdVisaoCellClick(int cell, int entry) {
    select(grdVisao.View().Hit(cell, entry));
}

void AgendaViews::grdVisaoCellDblClick(int cell, int entry) {
    open(grdVisao.View().Hit(cell, entry));
}

void AgendaViews::open(const ViewSelection& selection) {
    if (!select(selection)) {
        return;
    }
    if (selection.number.empty()) {
        // An empty spot of a day: a new reminder, on that day.
        form_.sbtIncluirClick();
    } else {
        form_.Module().CriaManutAFazer(selection.number, true);
    }
}

}  // namespace lembrete
