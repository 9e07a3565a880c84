#include "editor/frm_manut_afazer.h"

#include <array>
#include <chrono>
#include <string>
#include <vector>

#include "agenda/frm_a_fazer.h"
#include "data/reminder_record.h"
#include "data/series_record.h"
#include "editor/editor_unit.h"
#include "recurrence/occurrence_cursor.h"
#include "recurrence/recurrence_messages.h"
#include "shell/consiste.h"
#include "shell/help_key.h"
#include "shell/help_sections.h"
#include "shell/host_services.h"

namespace lembrete {
namespace {

using R = ReminderRecord;

// The alarm units in the order of cbbAlarme's list.
constexpr std::array<std::string_view, 3> kUnitCaptions = {"minutos antes", "horas antes",
                                                           "dias antes"};

// "M" for hours (index 1), "D" for days (index 2), "S" for minutes and for no selection.
std::string_view unitCodeForIndex(int index) {
    switch (index) {
        case 1:
            return R::kUnitHours;
        case 2:
            return R::kUnitDays;
        default:
            return R::kUnitMinutes;
    }
}

// The list entry of a stored unit, or nullopt for a code the list does not hold.
std::optional<int> indexForUnitCode(std::string_view code) {
    if (code == R::kUnitDays) {
        return 2;
    }
    if (code == R::kUnitHours) {
        return 1;
    }
    if (code == R::kUnitMinutes) {
        return 0;
    }
    return std::nullopt;
}

// The editor's own message lines; the repetition texts come from kRecurrenceMessageLines.
constexpr std::array<std::string_view, 9> kEditorMessageLines = {
    "Desc_Info|Descrição deve ser informada.",
    "DATA_DEVE|Data deve ser informada.",
    "HORA_DEVE|Hora deve ser informada.",
    "Alarm1_Info|Intervalo de tempo deve ser informado.",
    "Alarm2_Info|Tipo de intervalo deve ser informado.",
    "DATA_FIM|Data final deve ser maior que a data inicial.",
    "NAO_ACHOU|Lembrete não encontrado: ele pode ter sido excluído ou alterado por outra estação.",
    "SERIE_SO_ESTE|Uma nova regra de repetição vale para \"Este e os próximos\" ou \"Todos da "
    "série\".",
    "SERIE_NENHUMA|Para encerrar a série, exclua na agenda os lembretes que não quer manter.",
};

// MoveCalendario's kind as the agenda's own month buttons pass it; only the direction counts.
constexpr int kMonthStepKind = 2;

bool editing(const ClientDataSet& dataSet) {
    return dataSet.State() == DataSetState::Edit || dataSet.State() == DataSetState::Insert;
}

}  // namespace

TfrmManutAFazer::TfrmManutAFazer(EditorUnit& unit, TfrmAFazer& agenda, HostServices& host)
    : TForm("frmManutAFazer", &host.Presenter()),
      pgcGeral(Add<TPageControl>("pgcGeral")),
      tshGeral(Add<TTabSheet>("tshGeral")),
      tshRepeticao(Add<TTabSheet>("tshRepeticao")),
      tshObservacao(Add<TTabSheet>("tshObservacao")),
      bitConfirma(Add<TBitBtn>("bitConfirma")),
      bitCancela(Add<TBitBtn>("bitCancela")),
      bitAjuda(Add<TBitBtn>("bitAjuda")),
      mnuGuia(AddHelpKey(*this, host, [this] { return helpSection(); })),
      msgPadrao(Add<TMessages>("msgPadrao")),
      drtDesc(Add<TDBRichEdit>("drtDesc")),
      depData(Add<TDBDateEdit>("depData")),
      dtpHora(Add<TDateTimePicker>("dtpHora")),
      medPrioridade(Add<TMaskEdit>("medPrioridade")),
      chbAlarme(Add<TCheckBox>("chbAlarme")),
      speAlarme(Add<TSpinEdit>("speAlarme")),
      cbbAlarme(Add<TComboBox>("cbbAlarme")),
      chbHoraEvento(Add<TCheckBox>("chbHoraEvento")),
      panTopoRepet(Add<TPanel>("panTopoRepet")),
      panNenhuma(Add<TPanel>("panNenhuma")),
      panDiario(Add<TPanel>("panDiario")),
      panSemanal(Add<TPanel>("panSemanal")),
      panMensal(Add<TPanel>("panMensal")),
      panAnual(Add<TPanel>("panAnual")),
      panOpcoes(Add<TPanel>("panOpcoes")),
      lblACada(Add<TLabel>("lblACada")),
      speDia(Add<TSpinEdit>("speDia")),
      lblACadaComp(Add<TLabel>("lblACadaComp")),
      panRepetir(Add<TPanel>("panRepetir")),
      panDom(Add<TPanel>("panDom")),
      panSeg(Add<TPanel>("panSeg")),
      panTer(Add<TPanel>("panTer")),
      panQua(Add<TPanel>("panQua")),
      panQui(Add<TPanel>("panQui")),
      panSex(Add<TPanel>("panSex")),
      panSab(Add<TPanel>("panSab")),
      lblPor(Add<TLabel>("lblPor")),
      cbbPor(Add<TComboBox>("cbbPor")),
      edtInfo(Add<TEdit>("edtInfo")),
      rdbTermina(Add<TRadioButton>("rdbTermina")),
      depDataTermino(Add<TDateEdit>("depDataTermino")),
      rdbSemData(Add<TRadioButton>("rdbSemData")),
      dbrTxAtivPess(Add<TDBRichEdit>("dbrTxAtivPess")),
      FormatPanel2(Add<TFormatPanel>("FormatPanel2")),
      cdsAuxAFazer(Make<ClientDataSet>("cdsAuxAFazer")),
      dtsAuxAFazer(Make<DataSource>("dtsAuxAFazer", &cdsAuxAFazer)),
      cdsAuxDesc(Make<ClientDataSet>("cdsAuxDesc")),
      cdsObs(Make<ClientDataSet>("cdsObs")),
      dtsObs(Make<DataSource>("dtsObs", &cdsObs)),
      cdsRegra(Make<ClientDataSet>("cdsRegra", SeriesRecord::layout())),
      unit_(unit),
      agenda_(agenda),
      host_(host),
      summary_([this](std::string_view key) { return msgPadrao.Msg(key); }),
      series_(cdsAuxAFazer, cdsAuxDesc, cdsRegra, agenda.gateway),
      seriesChange_(agenda.gateway, &cdsAuxDesc, &agenda.undoHistory) {
    cdsRegra.Open();
    SetCaption("Altera Lembrete");
    lblCodTela.SetCaption(std::string(kScreenCode));
    buildMessages();

    tshGeral.SetCaption("Geral");
    tshRepeticao.SetCaption("Repetições");
    tshObservacao.SetCaption("Descrição");
    for (TTabSheet* page : {&tshGeral, &tshRepeticao, &tshObservacao}) {
        page->SetParent(&pgcGeral);
        pgcGeral.AddPage(*page);
    }
    bitConfirma.SetCaption("OK");
    bitConfirma.SetDefault(true);
    bitCancela.SetKind(bkCancel);
    bitAjuda.SetKind(bkHelp);

    buildGeneralTab();
    buildRepetitionTab();
    buildDescriptionTab();
    wireHandlers();
}

void TfrmManutAFazer::buildMessages() {
    for (std::string_view line : kEditorMessageLines) {
        msgPadrao.AddMessage(std::string(line));
    }
    for (std::string_view line : kRecurrenceMessageLines) {
        msgPadrao.AddMessage(std::string(line));
    }
}

void TfrmManutAFazer::buildGeneralTab() {
    for (Component* control :
         std::initializer_list<Component*>{&drtDesc, &depData, &dtpHora, &medPrioridade, &chbAlarme,
                                           &speAlarme, &cbbAlarme, &chbHoraEvento}) {
        control->SetParent(&tshGeral);
    }
    drtDesc.SetMaxLength(R::kReferenceWidth);
    drtDesc.SetDataSource(&dtsAuxAFazer);
    drtDesc.SetDataField(std::string(R::DSREFEATPESS));
    depData.SetSaveTime(true);
    depData.SetDataSource(&dtsAuxAFazer);
    depData.SetDataField(std::string(R::DTATIVPESS));
    depData.SetColor(clWindow);
    dtpHora.SetKind(dtkTime);
    dtpHora.SetTime(std::chrono::hours(8));
    dtpHora.SetColor(clWindow);
    medPrioridade.SetEditMask("999;0; ");

    chbAlarme.SetCaption("Alarme");
    speAlarme.SetRange(R::kMinLead, R::kMaxLead);
    speAlarme.SetValue(5);
    speAlarme.SetColor(clInfoBk);
    cbbAlarme.SetItems({kUnitCaptions.begin(), kUnitCaptions.end()});
    cbbAlarme.SetColor(clInfoBk);
    chbHoraEvento.SetCaption("Na hora do evento.");
    for (Component* control :
         std::initializer_list<Component*>{&speAlarme, &cbbAlarme, &chbHoraEvento}) {
        control->SetVisible(false);
    }
}

void TfrmManutAFazer::buildRepetitionTab() {
    panTopoRepet.SetCaption("Inicia em 16 de Julho de 2007");
    const std::array<std::pair<TPanel*, const char*>, 5> kinds = {{{&panNenhuma, "Nenhuma"},
                                                                   {&panDiario, "Diário"},
                                                                   {&panSemanal, "Semanal"},
                                                                   {&panMensal, "Mensal"},
                                                                   {&panAnual, "Anual"}}};
    for (auto [panel, caption] : kinds) {
        panel->SetParent(&tshRepeticao);
        panel->SetCaption(caption);
        panel->SetColor(clWindow);
    }
    panNenhuma.SetColor(clRed);
    panTopoRepet.SetParent(&tshRepeticao);
    panOpcoes.SetParent(&tshRepeticao);
    panOpcoes.SetVisible(false);

    for (Component* control : std::initializer_list<Component*>{
             &lblACada, &speDia, &lblACadaComp, &panRepetir, &lblPor, &cbbPor, &edtInfo,
             &rdbTermina, &depDataTermino, &rdbSemData}) {
        control->SetParent(&panOpcoes);
    }
    lblACada.SetCaption("A cada");
    speDia.SetRange(RecurrenceRule::kMinInterval, RecurrenceRule::kMaxInterval);
    speDia.SetValue(RecurrenceRule::kMinInterval);
    lblACadaComp.SetCaption(msgPadrao.Msg("DIA"));
    panRepetir.SetVisible(false);
    const std::array<std::pair<TPanel*, const char*>, 7> weekdays = {{{&panDom, "Dom"},
                                                                      {&panSeg, "Seg"},
                                                                      {&panTer, "Ter"},
                                                                      {&panQua, "Qua"},
                                                                      {&panQui, "Qui"},
                                                                      {&panSex, "Sex"},
                                                                      {&panSab, "Sáb"}}};
    for (auto [panel, caption] : weekdays) {
        panel->SetParent(&panRepetir);
        panel->SetCaption(caption);
        panel->SetColor(clInfoBk);
    }
    lblPor.SetCaption("Por");
    lblPor.SetVisible(false);
    cbbPor.SetItems({"Data", "Dia"});
    cbbPor.SetItemIndex(0);
    cbbPor.SetVisible(false);
    edtInfo.SetReadOnly(true);
    rdbTermina.SetCaption("Termina em");
    rdbSemData.SetCaption("Sem data de término");
    rdbTermina.SetGroup("Termino");
    rdbSemData.SetGroup("Termino");
    rdbTermina.SetChecked(true);
    depDataTermino.SetColor(clInfoBk);
}

void TfrmManutAFazer::buildDescriptionTab() {
    dbrTxAtivPess.SetParent(&tshObservacao);
    FormatPanel2.SetParent(&tshObservacao);
    dbrTxAtivPess.SetDataSource(&dtsObs);
    dbrTxAtivPess.SetDataField(std::string(DescriptionRecord::TXATIVPESS));
    FormatPanel2.SetEditor(&dbrTxAtivPess);
}

void TfrmManutAFazer::wireHandlers() {
    OnCreate = [this] { FormCreate(); };
    OnActivate = [this] { FormActivate(); };
    OnClose = [this](TCloseAction& action) { FormClose(action); };
    chbAlarme.OnClick = [this] { chbAlarmeClick(); };
    chbHoraEvento.OnClick = [this] { chbHoraEventoClick(); };
    bitConfirma.OnClick = [this] { bitConfirmaClick(); };
    bitCancela.OnClick = [this] { bitCancelaClick(); };
    bitAjuda.OnClick = [this] { mnuGuia.Click(); };
    pgcGeral.OnChange = [this] { pgcGeralChange(); };
    speDia.OnChange = [this] { speDiaChange(); };
    cbbPor.OnChange = [this] { cbbPorChange(); };
    rdbSemData.OnClick = [this] { rdbSemDataClick(); };
    rdbTermina.OnClick = [this] { rdbTerminaClick(); };
    panNenhuma.OnClick = [this] { ControlaRepeticao("N"); };
    panDiario.OnClick = [this] { ControlaRepeticao("D"); };
    panSemanal.OnClick = [this] { ControlaRepeticao("S"); };
    panMensal.OnClick = [this] { ControlaRepeticao("M"); };
    panAnual.OnClick = [this] { ControlaRepeticao("A"); };
    const std::array<TPanel*, 7> weekdays = {&panDom, &panSeg, &panTer, &panQua,
                                             &panQui, &panSex, &panSab};
    for (int day = 1; day <= 7; ++day) {
        weekdays[day - 1]->OnClick = [this, day] { weekdayClick(day); };
    }
    cdsAuxAFazer.BeforePost = [this](ClientDataSet& dataSet) { cdsAuxAFazerBeforePost(dataSet); };
    cdsAuxAFazer.AfterPost = [this](ClientDataSet& dataSet) { cdsAuxAFazerAfterPost(dataSet); };
    cdsAuxDesc.AfterPost = [this](ClientDataSet& dataSet) { cdsAuxDescAfterPost(dataSet); };
    cdsObs.BeforePost = [this](ClientDataSet& dataSet) { cdsObsBeforePost(dataSet); };
}

// --- helpers -------------------------------------------------------------------------------

std::string_view TfrmManutAFazer::helpSection() const {
    if (pgcGeral.ActivePage() == &tshRepeticao) {
        return help_section::kEditorRepetition;
    }
    if (pgcGeral.ActivePage() == &tshObservacao) {
        return help_section::kEditorDescription;
    }
    return help_section::kEditorGeneral;
}

RecurrenceRule& TfrmManutAFazer::rule() const {
    return unit_.Rule;
}

ReminderGateway& TfrmManutAFazer::gateway() const {
    return agenda_.gateway;
}

ReminderFilter TfrmManutAFazer::agendaFilter() const {
    return agenda_.Filter();
}

Date TfrmManutAFazer::startDate() const {
    const auto date = depData.GetDate();
    return date ? date->date() : host_.Today();
}

void TfrmManutAFazer::showSummary(int kind) {
    if (auto text = summary_.ControlaInfo(kind, speDia.Text(), startDate(), rule())) {
        edtInfo.SetText(std::move(*text));
    }
}

// --- opening and closing -------------------------------------------------------------------

// The description datasets open empty with their layout: the edited reminder's description is
// read once its row is located (FormActivate); asking now would ask with empty keys.
void TfrmManutAFazer::FormCreate() {
    for (ClientDataSet* dataSet : {&cdsAuxDesc, &cdsObs}) {
        dataSet->SetFields(DescriptionRecord::layout());
        dataSet->Open();
    }
}

// Runs once per opening: activating the dialog again (after a message box, or after the user
// switched windows) must not reload the rows and drop what the user typed.
void TfrmManutAFazer::FormActivate() {
    if (activated_) {
        return;
    }
    activated_ = true;
    chbAlarme.SetChecked(false);
    SetaSemana();
    rule() = RecurrenceRule();
    try {
        gateway().GetAFazer(agendaFilter(), cdsAuxAFazer, "getAFazer");
        loadRowToEdit();
        loadSeries();
    } catch (const Abandon&) {
        // Without its rows the dialog could only save into the wrong place: it closes.
        SetModalResult(mrCancel);
        throw;
    }
    if (!loadedRule_) {
        cbbPor.SetItemIndex(0);
        rule().setMonthlyMode(MonthlyMode::ByDate);
    }
    pgcGeral.SetActivePage(tshGeral);
}

void TfrmManutAFazer::loadSeries() {
    const std::string series = cdsAuxAFazer.FieldByName(R::NRREPETATIVP).AsString();
    if (unit_.EditNumber.empty() || series.empty()) {
        return;
    }
    seriesChange_.Load(host_.Operador(), series);
    if (seriesChange_.Position(unit_.EditNumber) == 0) {
        return;
    }
    inSeries_ = true;
    loadedRow_.clear();
    for (int field = 0; field < cdsAuxAFazer.FieldCount(); ++field) {
        loadedRow_.push_back(cdsAuxAFazer.Fields(field).AsVariant());
    }
    loadedRule_ = seriesChange_.Rule();
    if (!loadedRule_) {
        // Stored before rules were: shown as its dates tell, or "Nenhuma".
        loadedRule_ = seriesChange_.InferredRule();
    }
    if (loadedRule_) {
        showStoredRule(*loadedRule_);
    }
}

void TfrmManutAFazer::showStoredRule(const StoredRule& stored) {
    const RecurrenceRule& saved = stored.rule;
    speDia.SetValue(saved.interval());
    rule().setInterval(saved.interval());
    for (int day = 1; day <= 7; ++day) {
        if (saved.weekday(day)) {
            ControlaSemana(day);
        }
    }
    const bool byWeekday = saved.monthlyMode() == MonthlyMode::ByWeekday;
    cbbPor.SetItemIndex(byWeekday ? 1 : 0);
    rule().setMonthlyMode(saved.monthlyMode());
    if (const auto end = saved.endDate()) {
        rdbSemData.SetChecked(false);
        rdbTermina.SetChecked(true);
        depDataTermino.SetDate(*end);
        rdbTerminaClick();
    } else {
        rdbTermina.SetChecked(false);
        rdbSemData.SetChecked(true);
        rdbSemDataClick();
    }
    ControlaRepeticao(recurrenceKindCode(saved.kind()));
}

void TfrmManutAFazer::loadRowToEdit() {
    if (unit_.EditNumber.empty()) {
        cdsAuxAFazer.Append();
        drtDesc.SetFocus();
        speAlarme.SetValue(1);
        cbbAlarme.SetItemIndex(-1);
        depData.SetDate(host_.Today());
        return;
    }
    if (!cdsAuxAFazer.Locate(R::NRATIVPESS, Variant(unit_.EditNumber))) {
        // Editing whatever row the cursor rests on would overwrite another reminder.
        host_.MensErro(msgPadrao.Msg("NAO_ACHOU"), true);
    }
    drtDesc.SetText(cdsAuxAFazer.FieldByName(R::DSREFEATPESS).AsString());
    depData.SetDate(cdsAuxAFazer.FieldByName(R::DTATIVPESS).AsDateTime());
    std::string priority = cdsAuxAFazer.FieldByName(R::NRPRIOATPESS).AsString();
    std::erase(priority, ' ');  // the server accepts blanks around the digits; the mask does not
    medPrioridade.SetText(priority);
    loadDescription(unit_.EditNumber);

    cdsAuxAFazer.Edit();
    const Field when = cdsAuxAFazer.FieldByName(R::DTATIVPESS);
    const Field lead = cdsAuxAFazer.FieldByName(R::QTSEGUATPESS);
    const std::string unitCode = cdsAuxAFazer.FieldByName(R::IDUNITATPESS).AsString();
    dtpHora.SetTime(when.AsDateTime().timeOfDay());
    speAlarme.SetValue(static_cast<int>(lead.AsInteger()));
    if (cdsAuxAFazer.FieldByName(R::IDALARATPESS).AsString() == R::kAlarmOn) {
        chbAlarme.SetChecked(true);
        if (!unitCode.empty()) {
            speAlarme.SetValue(static_cast<int>(lead.AsFloat()));
            if (const auto index = indexForUnitCode(unitCode)) {
                cbbAlarme.SetItemIndex(*index);
            }
        }
        chbHoraEvento.SetChecked(unitCode.empty());
    }
}

void TfrmManutAFazer::loadDescription(const std::string& number) {
    const std::string operatorCode = cdsAuxAFazer.FieldByName(R::CDOPERADOR).AsString();
    gateway().GetDescAFazer(operatorCode, number, cdsAuxDesc);
    gateway().GetVerifObs(operatorCode, number, cdsObs);
}

void TfrmManutAFazer::FormClose(TCloseAction& action) {
    unit_.EditorCreated = false;
    action = caFree;
}

void TfrmManutAFazer::bitCancelaClick() {
    ClientDataSet* agendaRows = agenda_.dtsAFazer.DataSet();
    if (agendaRows != nullptr && editing(*agendaRows) &&
        host_.ShowMsg(agenda_.msgPadrao, "Canc", mtConfirmation, mbYes | mbNo, 0) == mrYes) {
        agendaRows->Cancel();
    }
}

// --- general tab ---------------------------------------------------------------------------

void TfrmManutAFazer::chbAlarmeClick() {
    const bool on = chbAlarme.Checked();
    speAlarme.SetVisible(on);
    cbbAlarme.SetVisible(on);
    chbHoraEvento.SetVisible(on);
    depData.SetColor(on ? clInfoBk : clWindow);
    dtpHora.SetColor(on ? clInfoBk : clWindow);
}

void TfrmManutAFazer::chbHoraEventoClick() {
    const bool atEvent = chbHoraEvento.Checked();
    for (Component* control : std::initializer_list<Component*>{&speAlarme, &cbbAlarme}) {
        control->SetEnabled(!atEvent);
        control->SetColor(atEvent ? clBtnFace : clInfoBk);
    }
}

// --- repetition tab ------------------------------------------------------------------------

void TfrmManutAFazer::selectKindPanel(TPanel& selected) {
    for (TPanel* panel : {&panNenhuma, &panDiario, &panSemanal, &panMensal, &panAnual}) {
        panel->SetColor(panel == &selected ? clRed : clWindow);
    }
}

void TfrmManutAFazer::ControlaRepeticao(std::string_view code) {
    const auto kind = recurrenceKindFromCode(code);
    if (!kind) {
        return;
    }
    rule().setKind(*kind);
    struct Layout {
        TPanel* panel;
        const char* unitKey;
    };
    const std::array<Layout, 5> layouts = {{{&panNenhuma, ""},
                                            {&panDiario, "DIA"},
                                            {&panSemanal, "SEMANA"},
                                            {&panMensal, "MES"},
                                            {&panAnual, "ANO"}}};
    const Layout& layout = layouts[static_cast<int>(*kind)];
    selectKindPanel(*layout.panel);
    const bool repeats = *kind != RecurrenceKind::None;
    depData.SetColor(repeats ? clInfoBk : clWindow);
    dtpHora.SetColor(repeats ? clInfoBk : clWindow);
    panOpcoes.SetVisible(repeats);
    if (!repeats) {
        return;
    }
    panRepetir.SetVisible(*kind == RecurrenceKind::Weekly);
    lblPor.SetVisible(*kind == RecurrenceKind::Monthly);
    cbbPor.SetVisible(*kind == RecurrenceKind::Monthly);
    showSummary(static_cast<int>(*kind));
    lblACadaComp.SetCaption(msgPadrao.Msg(layout.unitKey));
}

void TfrmManutAFazer::ControlaSemana(int day) {
    if (day < 1 || day > 7) {
        return;
    }
    const std::array<TPanel*, 7> weekdays = {&panDom, &panSeg, &panTer, &panQua,
                                             &panQui, &panSex, &panSab};
    rule().toggleWeekday(day);
    weekdays[day - 1]->SetColor(rule().weekday(day) ? clRed : clWindow);
}

void TfrmManutAFazer::weekdayClick(int day) {
    ControlaSemana(day);
    showSummary(static_cast<int>(RecurrenceKind::Weekly));
}

void TfrmManutAFazer::SetaSemana() {
    rule().clearWeekdays();
    for (TPanel* panel : {&panDom, &panSeg, &panTer, &panQua, &panQui, &panSex, &panSab}) {
        panel->SetColor(clWindow);
    }
}

void TfrmManutAFazer::pgcGeralChange() {
    if (pgcGeral.ActivePage() != &tshRepeticao) {
        return;
    }
    if (!inSeries_) {
        panTopoRepet.SetCaption(summary_.startHeader(startDate()));
        return;
    }
    // An occurrence of a series: where the series starts, and which occurrence this is.
    const Date start = loadedRule_ ? loadedRule_->start.date() : seriesChange_.FirstDate();
    panTopoRepet.SetCaption(summary_.startHeader(start) + " — ocorrência " +
                            std::to_string(seriesChange_.Position(unit_.EditNumber)) + " de " +
                            std::to_string(seriesChange_.Count()));
}

void TfrmManutAFazer::speDiaChange() {
    if (const auto interval = parseInterval(speDia.Text())) {
        rule().setInterval(*interval);
    }
    if (rule().kind() != RecurrenceKind::None) {
        showSummary(static_cast<int>(rule().kind()));
    }
}

void TfrmManutAFazer::cbbPorChange() {
    rule().setMonthlyMode(cbbPor.ItemIndex() == 1 ? MonthlyMode::ByWeekday : MonthlyMode::ByDate);
    showSummary(static_cast<int>(RecurrenceKind::Monthly));
}

void TfrmManutAFazer::rdbSemDataClick() {
    depDataTermino.SetEnabled(false);
    depDataTermino.SetColor(clBtnFace);
}

void TfrmManutAFazer::rdbTerminaClick() {
    depDataTermino.SetEnabled(true);
    depDataTermino.SetColor(clInfoBk);
}

// --- confirmation --------------------------------------------------------------------------

void TfrmManutAFazer::bitConfirmaClick() {
    validate();
    // The day the user entered: once a series is posted, depData shows its last occurrence.
    const Date day = startDate();
    if (inSeries_) {
        if (!saveInSeries()) {
            return;
        }
    } else {
        fillRow();
        if (rule().kind() != RecurrenceKind::None) {
            GravaRepeticao();
        } else {
            saveSingle();
        }
    }
    if (editing(cdsAuxDesc)) {
        cdsAuxDesc.Post();
    }
    try {
        refreshAgenda(day);
    } catch (...) {
        // The reminder is saved: the dialog closes even when the agenda could not follow, so
        // that a second OK cannot store it twice.
        SetModalResult(mrOk);
        throw;
    }
    SetModalResult(mrOk);
}

void TfrmManutAFazer::refuse(TTabSheet& page, Component& control, std::string_view key) {
    pgcGeral.SetActivePage(page);
    control.SetFocus();
    host_.MensErro(msgPadrao.Msg(key), true);
}

void TfrmManutAFazer::validate() {
    if (EmptyString(drtDesc.Text())) {
        refuse(tshGeral, drtDesc, "Desc_Info");
    }
    if (chbAlarme.Checked()) {
        if (depData.Empty()) {
            refuse(tshGeral, depData, "DATA_DEVE");
        }
        if (EmptyString(dtpHora.Text())) {
            refuse(tshGeral, dtpHora, "HORA_DEVE");
        }
        if (!chbHoraEvento.Checked()) {
            if (EmptyString(speAlarme.Text())) {
                refuse(tshGeral, speAlarme, "Alarm1_Info");
            }
            if (EmptyString(cbbAlarme.Text())) {
                refuse(tshGeral, cbbAlarme, "Alarm2_Info");
            }
        }
    }
    if (rule().kind() == RecurrenceKind::None) {
        return;
    }
    if (depData.Empty()) {
        refuse(tshGeral, depData, "DATA_DEVE");
    }
    // The end date counts only when the series has one.
    if (rdbTermina.Checked()) {
        if (depDataTermino.Empty()) {
            refuse(tshRepeticao, depDataTermino, "DATA_DEVE");
        }
        if (depDataTermino.GetDate()->date() < depData.GetDate()->date()) {
            refuse(tshRepeticao, depDataTermino, "DATA_FIM");
        }
    }
    // A weekly series needs a weekday to fall on.
    if (rule().kind() == RecurrenceKind::Weekly && rule().selectedWeekdayCount() == 0) {
        refuse(tshRepeticao, panDom, "SEMANA_DIA");
    }
}

void TfrmManutAFazer::fillRow() {
    if (!editing(cdsAuxAFazer)) {
        cdsAuxAFazer.Edit();
    }
    cdsAuxAFazer.FieldByName(R::DSREFEATPESS).SetAsString(drtDesc.Text());
    Field when = cdsAuxAFazer.FieldByName(R::DTATIVPESS);
    if (depData.Empty()) {
        when.Clear();
    } else {
        when.SetAsDateTime(DateTime(depData.GetDate()->date(),
                                    std::chrono::floor<std::chrono::seconds>(dtpHora.Time())));
    }
    Field unitField = cdsAuxAFazer.FieldByName(R::IDUNITATPESS);
    if (chbHoraEvento.Checked()) {
        unitField.Clear();
    } else {
        unitField.SetAsString(std::string(unitCodeForIndex(cbbAlarme.ItemIndex())));
        Field lead = cdsAuxAFazer.FieldByName(R::QTSEGUATPESS);
        if (speAlarme.Text().empty()) {
            lead.Clear();
        } else {
            lead.SetAsFloat(speAlarme.Value());
        }
    }
    cdsAuxAFazer.FieldByName(R::IDALARATPESS)
        .SetAsString(std::string(chbAlarme.Checked() ? R::kAlarmOn : R::kAlarmOff));
}

void TfrmManutAFazer::saveSingle() {
    const WorkingRow working = snapshotWorkingRow();
    const std::string operatorCode = host_.Operador();
    if (cdsAuxAFazer.State() == DataSetState::Insert) {
        cdsAuxAFazer.FieldByName(R::CDOPERADOR).SetAsString(operatorCode);
        cdsAuxAFazer.FieldByName(R::NRATIVPESS)
            .SetAsString(gateway().GetPrxAtivPessoal(operatorCode));
        postWorkingRow(working);
    }
    // Once the new row is stored, a failure of its description leaves it stored: a second OK
    // then changes that reminder instead of storing another.
    postDescription(cdsAuxAFazer.FieldByName(R::NRATIVPESS).AsString());
    // An existing reminder's row is posted whichever way its description went.
    if (editing(cdsAuxAFazer)) {
        postWorkingRow(working);
    }
}

void TfrmManutAFazer::postWorkingRow(const WorkingRow& working) {
    try {
        cdsAuxAFazer.Post();
    } catch (...) {
        restoreWorkingRow(working);
        throw;
    }
}

void TfrmManutAFazer::postDescription(const std::string& number) {
    if (cdsAuxDesc.IsEmpty()) {
        cdsAuxDesc.Append();
    } else {
        cdsAuxDesc.Edit();
    }
    cdsAuxDesc.FieldByName(R::CDOPERADOR).SetAsString(host_.Operador());
    cdsAuxDesc.FieldByName(R::NRATIVPESS).SetAsString(number);
    cdsAuxDesc.FieldByName(DescriptionRecord::TXATIVPESS).SetValue(Blob{dbrTxAtivPess.Text()});
    cdsAuxDesc.Post();
}

void TfrmManutAFazer::refreshAgenda(Date day) {
    if (!unit_.RefreshAgenda) {
        return;
    }
    {
        struct Reattach {
            TfrmAFazer& agenda;
            ~Reattach() { agenda.dtsAFazer.SetDataSet(&agenda.cdsAFazer); }
        } reattach{agenda_};
        agenda_.dtsAFazer.SetDataSet(nullptr);
        agenda_.LoadList();
    }
    // Written whole: element writes could pass through another date and reload twice.
    agenda_.dbcAFazer.SetDate(day);
    agenda_.MoveDia(0);
    agenda_.MoveCalendario(kMonthStepKind, 0);
}

// --- dataset events ------------------------------------------------------------------------

void TfrmManutAFazer::cdsAuxAFazerBeforePost(ClientDataSet& dataSet) {
    if (dataSet.State() == DataSetState::Insert) {
        dataSet.FieldByName(R::IDSITUATPESS).SetAsString(std::string(R::kPending));
    }
    dataSet.FieldByName(R::NRPRIOATPESS).SetAsString(medPrioridade.Text());
    Seta_Campo_Null(dataSet);
}

void TfrmManutAFazer::cdsAuxAFazerAfterPost(ClientDataSet& dataSet) {
    if (!series_.Posting()) {
        gateway().SetAfazer(dataSet, kRefreshHostCache, ReminderGateway::OnFailure::CancelChanges);
    }
}

void TfrmManutAFazer::cdsAuxDescAfterPost(ClientDataSet& dataSet) {
    if (!series_.Posting() && !seriesChange_.Posting()) {
        gateway().SetDescAFazer(dataSet, kRefreshHostCache,
                                ReminderGateway::OnFailure::CancelChanges);
    }
}

void TfrmManutAFazer::cdsObsBeforePost(ClientDataSet& dataSet) {
    if (dataSet.State() == DataSetState::Insert) {
        dataSet.FieldByName(R::CDOPERADOR).SetAsString(host_.Operador());
        dataSet.FieldByName(R::NRATIVPESS)
            .SetAsString(cdsAuxAFazer.FieldByName(R::NRATIVPESS).AsString());
    }
}

// --- the series ----------------------------------------------------------------------------

void TfrmManutAFazer::GravaRepeticao() {
    RecurrenceRule& series = rule();
    series = chosenRule();
    const OccurrenceValues values = occurrenceValues();
    const WorkingRow working = snapshotWorkingRow();
    try {
        const Date start = depData.GetDate()->date();
        series_.Write(occurrences(series, start), values, series,
                      DateTime(start, values.timeOfDay));
    } catch (...) {
        restoreWorkingRow(working);
        throw;
    }
}

RecurrenceRule TfrmManutAFazer::chosenRule() const {
    RecurrenceRule chosen = rule();
    chosen.setInterval(speDia.Value());
    chosen.setEndDate(rdbSemData.Checked() ? std::nullopt
                                           : std::optional<Date>(depDataTermino.GetDate()->date()));
    return chosen;
}

OccurrenceValues TfrmManutAFazer::occurrenceValues() const {
    const bool leadGiven = chbAlarme.Checked() && !chbHoraEvento.Checked();
    OccurrenceValues values;
    values.operatorCode = host_.Operador();
    values.reference = drtDesc.Text();
    values.timeOfDay = std::chrono::floor<std::chrono::seconds>(dtpHora.Time());
    values.alarm = std::string(chbAlarme.Checked() ? R::kAlarmOn : R::kAlarmOff);
    if (leadGiven && !speAlarme.Text().empty()) {
        values.lead = static_cast<double>(speAlarme.Value());
    }
    if (leadGiven) {
        values.unit = unitCodeForIndex(cbbAlarme.ItemIndex());
    }
    if (!medPrioridade.Text().empty()) {
        values.priority = medPrioridade.Text();
    }
    values.description = Blob{dbrTxAtivPess.Text()};
    return values;
}

bool TfrmManutAFazer::saveInSeries() {
    const int choice = host_.ChooseOption(kApplyScopeQuestion, kApplyScopeOptions);
    if (choice == HostServices::kOptionCancelled) {
        return false;
    }
    const auto scope = static_cast<SeriesScope>(choice);
    if (loadedRule_ && rule().kind() == RecurrenceKind::None) {
        refuse(tshRepeticao, panNenhuma, "SERIE_NENHUMA");
    }
    const RecurrenceRule chosen = chosenRule();
    const bool ruleChanged =
        chosen.kind() != RecurrenceKind::None && (!loadedRule_ || chosen != loadedRule_->rule);
    if (scope == SeriesScope::This) {
        if (ruleChanged) {
            refuse(tshRepeticao, panNenhuma, "SERIE_SO_ESTE");
        }
        fillRow();
        saveSingle();
        return true;
    }
    fillRow();
    const WorkingRow working = snapshotWorkingRow();
    Row after = working.values;
    const std::string priority = medPrioridade.Text();
    after[cdsAuxAFazer.FieldIndex(R::NRPRIOATPESS)] =
        priority.empty() ? Variant() : Variant(priority);
    cdsAuxAFazer.Cancel();
    int kept = 0;
    try {
        if (ruleChanged) {
            kept = seriesChange_.ChangeRule(scope, loadedRow_, chosen, depData.GetDate()->date(),
                                            occurrenceValues());
        } else {
            kept = seriesChange_.ChangeFields(scope, loadedRow_, after, descriptionChange());
        }
    } catch (...) {
        restoreWorkingRow(working);
        throw;
    }
    if (kept > 0) {
        host_.ShowMsg(keptDoneMessage(kept), mtInformation, mbOK, 0);
    }
    return true;
}

std::optional<SeriesChange::DescriptionChange> TfrmManutAFazer::descriptionChange() {
    const bool stored = !cdsAuxDesc.IsEmpty();
    const Blob text{dbrTxAtivPess.Text()};
    const std::optional<Variant> loaded =
        stored ? std::optional(cdsAuxDesc.FieldByName(DescriptionRecord::TXATIVPESS).AsVariant())
               : std::nullopt;
    if ((loaded && *loaded == Variant(text)) || (!stored && text.bytes.empty())) {
        return std::nullopt;
    }
    return SeriesChange::DescriptionChange{text, loaded};
}

TfrmManutAFazer::WorkingRow TfrmManutAFazer::snapshotWorkingRow() {
    WorkingRow row;
    row.isNew = cdsAuxAFazer.State() == DataSetState::Insert;
    row.number = cdsAuxAFazer.FieldByName(R::NRATIVPESS).AsString();
    for (int field = 0; field < cdsAuxAFazer.FieldCount(); ++field) {
        row.values.push_back(cdsAuxAFazer.Fields(field).AsVariant());
    }
    return row;
}

// After a failed save the dataset's pending changes were cancelled; the row the user was
// editing comes back in its state, so that the dialog shows it and a second OK saves it.
void TfrmManutAFazer::restoreWorkingRow(const WorkingRow& row) {
    if (editing(cdsAuxAFazer)) {
        return;
    }
    if (row.isNew) {
        cdsAuxAFazer.Append();
    } else if (cdsAuxAFazer.Locate(R::NRATIVPESS, Variant(row.number))) {
        cdsAuxAFazer.Edit();
    } else {
        return;
    }
    for (int field = 0; field < cdsAuxAFazer.FieldCount(); ++field) {
        cdsAuxAFazer.Fields(field).SetValue(row.values[field]);
    }
}

}  // namespace lembrete
