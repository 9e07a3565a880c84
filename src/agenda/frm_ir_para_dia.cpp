#include "agenda/frm_ir_para_dia.h"

#include "agenda/go_to_day_unit.h"
#include "data/supported_dates.h"
#include "shell/help_key.h"
#include "shell/help_sections.h"
#include "shell/host_services.h"

namespace lembrete {

TfrmIrParaDia::TfrmIrParaDia(HostServices& host, GoToDayUnit& unit)
    : TForm("frmIrParaDia", &host.Presenter()),
      mtcData(Add<TMonthCalendar>("mtcData")),
      bitConfirma(Add<TBitBtn>("bitConfirma")),
      bitCancela(Add<TBitBtn>("bitCancela")),
      bitAtual(Add<TBitBtn>("bitAtual")),
      mnuGuia(AddHelpKey(*this, host, [] { return help_section::kGoToDay; })),
      host_(host),
      unit_(unit) {
    SetCaption("Ir para dia");
    lblCodTela.SetCaption("LMB00303");
    mtcData.SetFirstDayOfWeek(1);
    mtcData.SetShowToday(false);
    mtcData.SetRange(kFirstSupportedDate, kLastSupportedDate);
    bitConfirma.SetKind(bkOK);
    bitConfirma.SetDefault(true);
    bitCancela.SetKind(bkCancel);
    bitAtual.SetCaption("Dia Atual");

    OnActivate = [this] { FormActivate(); };
    bitConfirma.OnClick = [this] { bitConfirmaClick(); };
    mtcData.OnDblClick = [this] { bitConfirmaClick(); };
    bitAtual.OnClick = [this] { bitAtualClick(); };
}

void TfrmIrParaDia::FormActivate() {
    mtcData.SetDate(unit_.ChosenDate());
}

void TfrmIrParaDia::bitConfirmaClick() {
    unit_.Confirm(mtcData.GetDate());
    // OK closes through its modal result; a double-click on the calendar closes here.
    SetModalResult(mrOk);
}

void TfrmIrParaDia::bitAtualClick() {
    mtcData.SetDate(host_.Today());
}

}  // namespace lembrete
