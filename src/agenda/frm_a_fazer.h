// TfrmAFazer: the agenda window (screen "LMB00300", caption "Lembrete").
//
// A month calendar with month and day steps selects the day; the list cdsAFazer holds that
// day's reminders (or every one from it on), filtered by state and reference text; the grid
// toggles done/pending and deletes; the description pane shows the current row's text.
//
// With several rows selected, the toggle gives every selected row the state the current row
// takes, and a delete asks once ("Excluir os 5 lembretes selecionados?") and deletes exactly
// the selected rows, of a series or not (no scope is asked; a series' rule stays): either is
// one SetAfazer, all or nothing. With one row selected they behave as for a single reminder.
//
// The selected date lives only in dbcAFazer and is read as (GetDateElement 1, 2, 3). Every
// move of it is computed whole and written with the calendar's whole-date setter
// (TDBCalendar::SetDate), so each change of the selected date raises one OnChange and reloads
// the list once, and no step passes through a day its month lacks. Day and month steps stay
// within kFirstSupportedDate .. kLastSupportedDate, compared as dates.
//
// A send the server refuses (or never receives) is cancelled and the list read again, so the
// grid shows what the server holds; the refusal is the one message shown, a failure of that
// read is left to the status bar and the emptied list.
//
// The grid's column titles sort the list (TDBSortGrid): the order is cdsAFazer's, so every
// load keeps it and printing, the selection and Desfazer see the rows as shown. Until a title
// is clicked the list keeps the server's order (date and time, then number).
//
// LoadList is the one list load every trigger runs: GetAFazer with the six filter arguments,
// then (through cdsAFazer's after-open and after-scroll handlers) the marked days and the
// description of the row under the cursor. All server traffic goes through `gateway`, which
// takes its server object from netLembrete; the editor uses both through the module's single
// instance. The module owns the window (AgendaUnit); the window owns its components, datasets
// and connection.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "agenda/agenda_views.h"
#include "data/client_data_set.h"
#include "data/data_source.h"
#include "data/reminder_gateway.h"
#include "shell/frm_padrao_simples.h"
#include "shell/net_connection.h"
#include "toolkit/button.h"
#include "toolkit/check_box.h"
#include "toolkit/db_calendar.h"
#include "toolkit/db_rich_edit.h"
#include "toolkit/db_sort_grid.h"
#include "toolkit/edit.h"
#include "toolkit/format_panel.h"
#include "toolkit/group_box.h"
#include "toolkit/image.h"
#include "toolkit/menu_item.h"
#include "toolkit/panel.h"
#include "toolkit/speed_button.h"
#include "undo/undo_history.h"

namespace lembrete {

class AgendaModule;

class TfrmAFazer : public TfrmPadraoSimples {
  public:
    // Where the reference text starts after the alarm image (image at 2, 16 pixels wide).
    static constexpr int kImageLeft = 2;
    static constexpr int kImageWidth = 16;
    static constexpr int kTextAfterImage = kImageLeft + kImageWidth + 2;
    static constexpr int kTextTop = 2;
    // The text colour of a pending reminder whose date and time have passed.
    static constexpr TColor kOverdueColor = clMaroon;

    explicit TfrmAFazer(AgendaModule& module);
    ~TfrmAFazer() override;

    AgendaModule& Module() const { return module_; }
    // The "Dia", "Semana" and "Mês" views; each list load reads the current one again.
    AgendaViews& Views() { return views_; }

    // --- connection and gateway -----------------------------------------------------------
    TNetConnection& netLembrete;
    ReminderGateway gateway;
    // The deletes, toggles and series changes made in this window, to take back ("Desfazer").
    UndoHistory undoHistory;

    // --- calendar block -------------------------------------------------------------------
    TGroupBox& GroupBox1;
    TPanel& panCalendAFazer;
    TSpeedButton& speAFazerAnt;
    TSpeedButton& speAFazerPost;
    TDBCalendar& dbcAFazer;
    TPanel& panDiaAFazer;
    TSpeedButton& speDiaAnt;
    TSpeedButton& speDiaPost;
    TButton& btnIrParaDia;
    TButton& btnHojeDia;
    TMenuItem& Hoje1;
    TPopupMenu& pmnAFazer;
    TMenuItem& mnuDomAFazer;
    TMenuItem& mnuSegAFazer;
    TMenuItem& mnuTerAFazer;
    TMenuItem& mnuQuaAFazer;
    TMenuItem& mnuQuiAFazer;
    TMenuItem& mnuSexAFazer;
    TMenuItem& mnuSabAFazer;
    // "Desfazer" (Ctrl+Z) in the menu "Manutenção": enabled while there is something to undo.
    TMenuItem& mnuDesfazer;
    // The menu "Navegação": the steps, "Ir para dia…" and "Hoje" with their shortcuts.
    TMenuItem& mnuNavegacao;
    TMenuItem& mnuDiaAnterior;
    TMenuItem& mnuProximoDia;
    TMenuItem& mnuMesAnterior;
    TMenuItem& mnuProximoMes;
    TMenuItem& mnuIrParaDia;
    TMenuItem& mnuHoje;
    // Menu "Operação": the reminders to and from calendar files, and the calendar feed.
    TMenuItem& mnuExportar;
    TMenuItem& mnuImportar;
    TMenuItem& mnuCalendario;
    // Menu "Ajuda": "Guia do usuário" (F1), the guide at the agenda's section or, in the week
    // and month views, at the views' one.
    TMenuItem& mnuAjuda;
    TMenuItem& mnuGuia;

    // --- filters --------------------------------------------------------------------------
    TGroupBox& grbReferencia;
    TEdit& edtReferencia;
    TGroupBox& grbSituacao;
    TCheckBox& ckcPendentes;
    TCheckBox& ckcRealizados;
    TCheckBox& ckcTodos;

    // --- list, grid and description -------------------------------------------------------
    TDBSortGrid& dbsAFazer;
    TImage& imgCheck;
    TImage& imgUncheck;
    TImage& imgAlarme;
    TPanel& panFundoDescricao;
    TPanel& panTituloDescricao;
    TDBRichEdit& dbrDesc;
    TFormatPanel& frmFormatacaoTexto;

    ClientDataSet& cdsAFazer;
    ClientDataSet& cdsDatasAFazer;
    ClientDataSet& cdsDescAFazer;
    lembrete::DataSource& dtsAFazer;
    lembrete::DataSource& dtsDatasAFazer;
    lembrete::DataSource& dtsDescAFazer;

    // --- the list -------------------------------------------------------------------------
    // The calendar's date: (element 1, element 2, element 3), time zero.
    Date SelectedDate() const;
    // The six arguments of every list load, from the filters, the operator and the calendar.
    ReminderFilter Filter() const;
    // The list load: GetAFazer into cdsAFazer; its after-open handler then loads the marked
    // days and the description. Abandons (after CheckResultServ reported) when a call fails;
    // a failed read closes the list and the description, so no stale rows stay on screen.
    void LoadList();
    // Reloads the list after a change made on another desktop, the cursor kept on its reminder
    // while that is still listed; nothing while a row of the list is being edited.
    void ReloadKeepingRow();
    // Moves to `day` and puts the cursor on reminder `number` (a pending one), showing pending
    // reminders and dropping a reference filter that would hide it.
    void ShowReminder(Date day, const std::string& number);

    // --- navigation -----------------------------------------------------------------------
    // Month step (direction 0 none, 1 back, 2 forward) and month caption.
    void MoveCalendario(int kind, int direction);
    // Day step (0 the calendar's date, 1 back, 2 forward, 3 today) and weekday caption.
    void MoveDia(int mode);
    // Mode 2: moves to `weekday` (1 Sunday .. 7) of the selected week and checks its menu item.
    void GerenciaDia(int mode, int weekday);
    static bool AnoBisexto(std::uint16_t year);

    // --- handlers -------------------------------------------------------------------------
    void FormCreate() override;
    void FormClose(TCloseAction& action) override;
    void FormActivate();
    void netLembreteBeforeConnect();
    void dbcAFazerChange();
    void btnHojeDiaClick();
    void Hoje1Click();
    void btnIrParaDiaClick();
    void speAFazerAntClick();
    void speAFazerPostClick();
    void speDiaAntClick();
    void speDiaPostClick();
    void edtReferenciaChange();
    void ckcPendentesClick();
    void ckcRealizadosClick();
    void ckcTodosClick();
    void sbtVerificarClick() override;
    void sbtIncluirClick() override;
    void sbtAlterarClick() override;
    // A reminder of a series is deleted with the scope the user picks (SeriesChange), others
    // as the frame deletes them.
    void sbtExcluirClick() override;
    // Printing: the list as shown, each reminder with its description, in a print preview;
    // the listing of the days the user asks for, grouped by day; the page setup.
    void sbtImprimirClick();
    void mnuListagemClick();
    void mnuConfigImpressoraClick();
    // Takes back the latest step of undoHistory and reloads the list.
    void mnuDesfazerClick();
    void cdsAFazerAfterOpen();
    void cdsAFazerAfterScroll();
    void cdsAFazerNewRecord();
    void cdsAFazerAfterDelete();
    void cdsAFazerAfterCancel();
    void cdsDescAFazerAfterPost();
    void dbsAFazerDrawColumnCell(TCanvas& canvas, const CellRect& rect, int dataCol,
                                 const TColumn& column, const GridRow& row);
    void dbsAFazerCellClick(const TColumn& column);
    void dbsAFazerKeyDown(int& key, TShiftState shift);
    void dbsAFazerDblClick();
    // Pending, and its date and time are before the host's now.
    bool Overdue(const GridRow& row) const;
    // The row's state in words, overdue included (the grid's tool tip).
    std::string dbsAFazerRowHint(const GridRow& row) const;

  private:
    void buildCalendarBlock();
    void buildNavigationMenu();
    void buildFilters();
    void buildList();
    void buildCalendarFileItems();
    void connectHandlers();
    // Writes a whole date to the calendar: one change notification for the new date.
    void writeDate(Date date);
    // The month caption of the calendar's month ("Agosto  2003").
    void showMonthCaption();
    // Marks the current row done or pending and sends it (the toggle of the "Ok" column).
    void toggleCurrent();
    // Gives the current row of cdsAFazer the state done ("R", alarm off) or pending.
    void setCurrentState(bool done);
    // The toggle and the delete of several selected rows (see above); false with one selected.
    bool toggleSelected();
    bool deleteSelected();
    // Sends what a change of the selected rows posted into cdsAFazer as one SetAfazer and
    // reloads the list, the cursor back on `current` and `selected` selected again.
    void sendSelected(const std::string& current, const std::vector<std::string>& selected);
    // Sends cdsAFazer's changes with SetAfazer, then runs `reload`, also after a refusal.
    void sendList(const std::function<void()>& reload);
    // The number of the current row; empty when there is none.
    std::string currentNumber();
    // When the current row belongs to a series: asks the scope and deletes (true, also when the
    // user cancelled); false for a reminder of no series.
    bool deleteFromSeries();
    // Puts the cursor back on reminder `number` unless it is already there.
    void backTo(const std::string& number);

    AgendaModule& module_;
    // True while a change of the selected rows posts them: each post and move is not sent nor
    // followed by a description read on its own.
    bool bulk_ = false;
    AgendaViews views_;
};

}  // namespace lembrete
