// TfrmProcurar: "Procurar em todas as datas" (screen "LMB00304"), the search over every date.
//
// The text typed in edtProcurar is looked for in the references and descriptions of all the
// operator's reminders (btnProcurar, the default button); dbsProcura lists what was found,
// newest first, with date, time and state, a page at a time (btnMaisProcura brings the next);
// lblResultado says how many. "Abrir" (or a double click on a row) closes the dialog with that
// reminder picked, and the agenda shows it on its day; "Fechar" closes without a pick. The
// agenda owns the dialog and reuses it, results included.
#pragma once

#include <optional>

#include "data/client_data_set.h"
#include "data/data_source.h"
#include "toolkit/bit_button.h"
#include "toolkit/button.h"
#include "toolkit/db_grid.h"
#include "toolkit/edit.h"
#include "toolkit/form.h"
#include "toolkit/group_box.h"
#include "toolkit/label.h"
#include "toolkit/menu_item.h"
#include "views/calendar_view.h"
#include "views/reminder_search.h"

namespace lembrete {

class HostServices;
class ReminderGateway;

class TfrmProcurar : public TForm {
  public:
    TfrmProcurar(HostServices& host, ReminderGateway& gateway);

    TGroupBox& grbProcurar;
    TEdit& edtProcurar;
    TButton& btnProcurar;
    TDBGrid& dbsProcura;
    TLabel& lblResultado;
    TButton& btnMaisProcura;
    TBitBtn& bitAbrir;
    TBitBtn& bitFechar;
    // F1: the user guide at this dialog's section.
    TMenuItem& mnuGuia;
    ClientDataSet& cdsProcura;
    lembrete::DataSource& dtsProcura;

    // The reminder picked by the last "Abrir" (its day and number), cleared on every opening.
    const std::optional<ViewSelection>& Picked() const { return picked_; }
    // Whether the picked reminder is done (the agenda then shows done reminders too).
    bool PickedDone() const { return pickedDone_; }

    void FormActivate();
    void btnProcurarClick();
    void btnMaisProcuraClick();
    void bitAbrirClick();

  private:
    void showResult();

    HostServices& host_;
    ReminderSearch search_;
    std::optional<ViewSelection> picked_;
    bool pickedDone_ = false;
};

}  // namespace lembrete
