#include "agenda/frm_procurar.h"

#include "data/reminder_record.h"
#include "data/view_calls.h"
#include "shell/help_key.h"
#include "shell/help_sections.h"
#include "shell/host_services.h"
#include "toolkit/abandon.h"

namespace lembrete {

TfrmProcurar::TfrmProcurar(HostServices& host, ReminderGateway& gateway)
    : TForm("frmProcurar", &host.Presenter()),
      grbProcurar(Add<TGroupBox>("grbProcurar")),
      edtProcurar(Add<TEdit>("edtProcurar")),
      btnProcurar(Add<TButton>("btnProcurar")),
      dbsProcura(Add<TDBGrid>("dbsProcura")),
      lblResultado(Add<TLabel>("lblResultado")),
      btnMaisProcura(Add<TButton>("btnMaisProcura")),
      bitAbrir(Add<TBitBtn>("bitAbrir")),
      bitFechar(Add<TBitBtn>("bitFechar")),
      mnuGuia(AddHelpKey(*this, host, [] { return help_section::kSearch; })),
      cdsProcura(Make<ClientDataSet>("cdsProcura", ReminderSearch::ResultLayout())),
      dtsProcura(Make<lembrete::DataSource>("dtsProcura", &cdsProcura)),
      host_(host),
      search_(gateway) {
    SetCaption("Procurar em todas as datas");
    lblCodTela.SetCaption("LMB00304");
    grbProcurar.SetCaption("Referência ou descrição contém");
    edtProcurar.SetParent(&grbProcurar);
    edtProcurar.SetMaxLength(view_contract::kMaxSearchText);
    edtProcurar.SetColor(clInfoBk);
    btnProcurar.SetParent(&grbProcurar);
    btnProcurar.SetCaption("Procurar");
    btnProcurar.SetDefault(true);
    dbsProcura.SetDataSource(&dtsProcura);
    dbsProcura.SetColor(clInfoBk);
    dbsProcura.SetOptions(dgTitles | dgColumnResize | dgColLines | dgRowLines);
    dbsProcura.SetColumns({
        {std::string(ReminderRecord::DATA), "Data", 70, Alignment::Left},
        {std::string(ReminderRecord::HORARIO), "Horário", TColumn::kDefaultWidth, Alignment::Left},
        {std::string(ReminderSearch::SITUACAO), "Situação", 70, Alignment::Left},
        {std::string(ReminderRecord::DSREFEATPESS), "Referência", 320, Alignment::Left},
    });
    lblResultado.SetCaption("Digite um texto e clique em \"Procurar\".");
    btnMaisProcura.SetCaption("Mais resultados");
    btnMaisProcura.SetEnabled(false);
    bitAbrir.SetCaption("Abrir");
    bitAbrir.SetEnabled(false);
    bitFechar.SetKind(bkCancel);
    bitFechar.SetCaption("Fechar");

    OnActivate = [this] { FormActivate(); };
    btnProcurar.OnClick = [this] { btnProcurarClick(); };
    btnMaisProcura.OnClick = [this] { btnMaisProcuraClick(); };
    bitAbrir.OnClick = [this] { bitAbrirClick(); };
    dbsProcura.OnDblClick = [this] { bitAbrirClick(); };
    SetActiveControl(&edtProcurar);
}

void TfrmProcurar::FormActivate() {
    picked_.reset();
    pickedDone_ = false;
}

void TfrmProcurar::btnProcurarClick() {
    try {
        search_.Start(host_.Operador(), edtProcurar.Text(), cdsProcura);
    } catch (const Abandon&) {
        showResult();
        throw;
    }
    showResult();
}

void TfrmProcurar::btnMaisProcuraClick() {
    try {
        search_.More(cdsProcura);
    } catch (const Abandon&) {
        showResult();
        throw;
    }
    showResult();
}

void TfrmProcurar::showResult() {
    lblResultado.SetCaption(search_.Summary());
    btnMaisProcura.SetEnabled(search_.HasMore());
    bitAbrir.SetEnabled(!cdsProcura.IsEmpty());
}

void TfrmProcurar::bitAbrirClick() {
    if (cdsProcura.IsEmpty()) {
        return;
    }
    const Variant when = cdsProcura.FieldByName(ReminderRecord::DTATIVPESS).AsVariant();
    if (when.kind() != VariantKind::DateTime) {
        return;
    }
    picked_ = ViewSelection{when.asDateTime().date(),
                            cdsProcura.FieldByName(ReminderRecord::NRATIVPESS).AsString()};
    pickedDone_ =
        cdsProcura.FieldByName(ReminderRecord::IDSITUATPESS).AsString() == ReminderRecord::kDone;
    SetModalResult(mrOk);
}

}  // namespace lembrete
