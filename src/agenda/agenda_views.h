// AgendaViews: the agenda window's "Dia", "Semana" and "Mês" views.
//
// "Dia" is the window as it always was: the selected day's list in the grid. "Semana" and
// "Mês" add grdVisao, a CalendarView of the selected day's week or month, read after each list
// load with one GetAFazerPeriodo call for its whole range, with the list's reference and state
// filters. "A partir da data selecionada" (ckcTodos) widens the day list only: beside a week or
// a month the list below is the selected day's, the day the view frames, and the box waits
// disabled, its check kept, with a hint saying so, until the day view is back. The day and month
// steps, "Hoje" and the calendar move it, since they move the selected day. A click on a day
// selects it in the agenda, and the reminder clicked in the grid; a double click opens that
// reminder in the editor (on an empty spot: a new reminder on that day). The keyboard does the
// same: the arrows move the selected day (Up and Down a reminder of the day in a week, a week
// in a month), Enter opens what the keyboard stands on. The buttons sbtDia, sbtSemana, sbtMes and
// the hidden menu items mnuVisaoDia, mnuVisaoSemana, mnuVisaoMes (Ctrl+1, Ctrl+2, Ctrl+3) switch
// views; the current one's button is bold.
//
// Beside them, sbtProcurar and the hidden mnuProcurar (Ctrl+Shift+F) open "Procurar em todas as
// datas" (TfrmProcurar); the reminder picked there is shown in the agenda on its day.
//
// The components belong to the agenda window; this object, owned by the window too, holds the
// current view, the rows of its range and the search dialog.
#pragma once

#include <memory>

#include "data/client_data_set.h"
#include "toolkit/menu_item.h"
#include "toolkit/speed_button.h"
#include "views/calendar_grid.h"
#include "views/calendar_view.h"

namespace lembrete {

class TfrmAFazer;
class TfrmProcurar;

class AgendaViews {
  public:
    explicit AgendaViews(TfrmAFazer& form);
    ~AgendaViews();
    AgendaViews(const AgendaViews&) = delete;
    AgendaViews& operator=(const AgendaViews&) = delete;

    TSpeedButton& sbtDia;
    TSpeedButton& sbtSemana;
    TSpeedButton& sbtMes;
    TMenuItem& mnuVisaoDia;
    TMenuItem& mnuVisaoSemana;
    TMenuItem& mnuVisaoMes;
    TCalendarGrid& grdVisao;
    TSpeedButton& sbtProcurar;
    TMenuItem& mnuProcurar;

    // ckcTodos's hint while a week or a month is shown.
    static const char* const kFromDayOnHint;

    ViewKind Kind() const { return kind_; }
    // Shows view `kind` and reads it (nothing to read for ViewKind::Day).
    void Show(ViewKind kind);
    // Reads the current view again for the selected day and filters: the list load's last
    // step. Abandons (after CheckResultServ reported) when the call fails; the view is then
    // left empty rather than showing another range's reminders.
    void Reload();

    // "Imprimir" in the week or month view: the view's days, grouped by day, with the rows
    // the view shows, in a print preview; false (nothing done) in the day view, where the list
    // prints as it always did.
    bool PrintShown();
    // Opens "Procurar em todas as datas"; a reminder picked there is shown on its day, with
    // the state filter that shows it.
    void sbtProcurarClick();
    TfrmProcurar* frmProcurar() const { return search_.get(); }

    void grdVisaoCellClick(int cell, int entry);
    void grdVisaoCellDblClick(int cell, int entry);

  private:
    // Selects the day of the click, and the reminder in the grid; false (nothing done) for a
    // day outside the supported dates.
    bool select(const ViewSelection& selection);
    // Selects, then opens the reminder in the editor, or a new one on the day.
    void open(const ViewSelection& selection);

    TfrmAFazer& form_;
    ClientDataSet rows_;
    ViewKind kind_ = ViewKind::Day;
    std::unique_ptr<TfrmProcurar> search_;
};

}  // namespace lembrete
