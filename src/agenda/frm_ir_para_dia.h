// TfrmIrParaDia: the go-to-day dialog (screen "LMB00303", caption "Ir para dia").
//
// A month calendar mtcData limited to the supported dates; OK (or a double-click on the
// calendar) hands the picked date to the go-to-day unit and closes, "Dia Atual" selects today
// and stays open, Cancel closes leaving dtData as it was. On activation the calendar shows the
// unit's dtData. The go-to-day unit owns the dialog and reuses it.
#pragma once

#include "toolkit/bit_button.h"
#include "toolkit/form.h"
#include "toolkit/menu_item.h"
#include "toolkit/month_calendar.h"

namespace lembrete {

class GoToDayUnit;
class HostServices;

class TfrmIrParaDia : public TForm {
  public:
    TfrmIrParaDia(HostServices& host, GoToDayUnit& unit);

    TMonthCalendar& mtcData;
    TBitBtn& bitConfirma;
    TBitBtn& bitCancela;
    TBitBtn& bitAtual;
    // F1: the user guide at this dialog's section.
    TMenuItem& mnuGuia;

    void FormActivate();
    void bitConfirmaClick();
    void bitAtualClick();

  private:
    HostServices& host_;
    GoToDayUnit& unit_;
};

}  // namespace lembrete
