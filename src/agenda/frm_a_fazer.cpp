#include "agenda/frm_a_fazer.h"

#include <algorithm>
#include <set>

#include "agenda/agenda_module.h"
#include "agenda/agenda_printout.h"
#include "data/changes_together.h"
#include "data/reminder_record.h"
#include "data/supported_dates.h"
#include "data/utf8.h"
#include "data/view_calls.h"
#include "series/flag_scope.h"
#include "series/series_change.h"
#include "shell/calendar_names.h"
#include "shell/consiste.h"
#include "shell/help_key.h"
#include "shell/help_sections.h"
#include "shell/host_services.h"

namespace lembrete {
namespace {

constexpr std::string_view kServerName = "lmb00300.rdmLembrete";

// Months counted from year 0, so that month steps compare as plain numbers.
int monthIndex(int year, int month) {
    return year * 12 + (month - 1);
}

// The frame's data source is detached from the list while it reloads, and attached again on
// every way out, so a failed load never leaves the tool bar without its dataset.
class DetachedFrameSource {
  public:
    DetachedFrameSource(lembrete::DataSource& source, ClientDataSet& list)
        : source_(source), list_(list) {
        source_.SetDataSet(nullptr);
    }
    ~DetachedFrameSource() { source_.SetDataSet(&list_); }
    DetachedFrameSource(const DetachedFrameSource&) = delete;
    DetachedFrameSource& operator=(const DetachedFrameSource&) = delete;

  private:
    lembrete::DataSource& source_;
    ClientDataSet& list_;
};

}  // namespace

TfrmAFazer::TfrmAFazer(AgendaModule& module)
    : TfrmPadraoSimples("frmAFazer", module.Host()),
      netLembrete(Add<TNetConnection>("netLembrete", module.Host())),
      gateway(module.Host(), [this]() -> AppServer& { return netLembrete.GetAppServer(); }),
      undoHistory(gateway),
      GroupBox1(Add<TGroupBox>("GroupBox1")),
      panCalendAFazer(Add<TPanel>("panCalendAFazer")),
      speAFazerAnt(Add<TSpeedButton>("speAFazerAnt")),
      speAFazerPost(Add<TSpeedButton>("speAFazerPost")),
      dbcAFazer(Add<TDBCalendar>("dbcAFazer")),
      panDiaAFazer(Add<TPanel>("panDiaAFazer")),
      speDiaAnt(Add<TSpeedButton>("speDiaAnt")),
      speDiaPost(Add<TSpeedButton>("speDiaPost")),
      btnIrParaDia(Add<TButton>("btnIrParaDia")),
      btnHojeDia(Add<TButton>("btnHojeDia")),
      Hoje1(Add<TMenuItem>("Hoje1")),
      pmnAFazer(Add<TPopupMenu>("pmnAFazer")),
      mnuDomAFazer(Add<TMenuItem>("mnuDomAFazer")),
      mnuSegAFazer(Add<TMenuItem>("mnuSegAFazer")),
      mnuTerAFazer(Add<TMenuItem>("mnuTerAFazer")),
      mnuQuaAFazer(Add<TMenuItem>("mnuQuaAFazer")),
      mnuQuiAFazer(Add<TMenuItem>("mnuQuiAFazer")),
      mnuSexAFazer(Add<TMenuItem>("mnuSexAFazer")),
      mnuSabAFazer(Add<TMenuItem>("mnuSabAFazer")),
      mnuDesfazer(Add<TMenuItem>("mnuDesfazer")),
      mnuNavegacao(Add<TMenuItem>("mnuNavegacao")),
      mnuDiaAnterior(Add<TMenuItem>("mnuDiaAnterior")),
      mnuProximoDia(Add<TMenuItem>("mnuProximoDia")),
      mnuMesAnterior(Add<TMenuItem>("mnuMesAnterior")),
      mnuProximoMes(Add<TMenuItem>("mnuProximoMes")),
      mnuIrParaDia(Add<TMenuItem>("mnuIrParaDia")),
      mnuHoje(Add<TMenuItem>("mnuHoje")),
      mnuExportar(Add<TMenuItem>("mnuExportar")),
      mnuImportar(Add<TMenuItem>("mnuImportar")),
      mnuCalendario(Add<TMenuItem>("mnuCalendario")),
      mnuAjuda(Add<TMenuItem>("mnuAjuda")),
      mnuGuia(AddHelpKey(*this, module.Host(),
                         [this] {
                             return views_.Kind() == ViewKind::Day ? help_section::kAgenda
                                                                   : help_section::kViews;
                         })),
      grbReferencia(Add<TGroupBox>("grbReferencia")),
      edtReferencia(Add<TEdit>("edtReferencia")),
      grbSituacao(Add<TGroupBox>("grbSituacao")),
      ckcPendentes(Add<TCheckBox>("ckcPendentes")),
      ckcRealizados(Add<TCheckBox>("ckcRealizados")),
      ckcTodos(Add<TCheckBox>("ckcTodos")),
      dbsAFazer(Add<TDBSortGrid>("dbsAFazer")),
      imgCheck(Add<TImage>("imgCheck")),
      imgUncheck(Add<TImage>("imgUncheck")),
      imgAlarme(Add<TImage>("imgAlarme")),
      panFundoDescricao(Add<TPanel>("panFundoDescricao")),
      panTituloDescricao(Add<TPanel>("panTituloDescricao")),
      dbrDesc(Add<TDBRichEdit>("dbrDesc")),
      frmFormatacaoTexto(Add<TFormatPanel>("frmFormatacaoTexto")),
      cdsAFazer(Make<ClientDataSet>("cdsAFazer", ReminderRecord::layout())),
      cdsDatasAFazer(Make<ClientDataSet>("cdsDatasAFazer", MarkedDateRecord::layout())),
      cdsDescAFazer(Make<ClientDataSet>("cdsDescAFazer", DescriptionRecord::layout())),
      dtsAFazer(Make<lembrete::DataSource>("dtsAFazer", &cdsAFazer)),
      dtsDatasAFazer(Make<lembrete::DataSource>("dtsDatasAFazer", &cdsDatasAFazer)),
      dtsDescAFazer(Make<lembrete::DataSource>("dtsDescAFazer", &cdsDescAFazer)),
      module_(module),
      views_(*this) {
    SetCaption("Lembrete");
    SetFormStyle(fsMDIChild);
    lblCodTela.SetCaption("LMB00300");
    netLembrete.SetServerName(std::string(kServerName));
    netLembrete.SetHost("127.0.0.1");
    netLembrete.SetThrowException(false);
    msgPadrao.AddMessage("Canc|Deseja cancelar a atividade?");
    dtsPadrao.SetDataSet(&cdsAFazer);

    buildCalendarBlock();
    buildFilters();
    buildList();
    buildCalendarFileItems();
    mnuAjuda.SetCaption("Ajuda");
    mnuAjuda.Add(mnuGuia);
    mnuMenu.Add(mnuAjuda);
    connectHandlers();
    SetActiveControl(&dbsAFazer);
}

TfrmAFazer::~TfrmAFazer() = default;

void TfrmAFazer::buildCalendarBlock() {
    GroupBox1.SetFont(TFont{clNavy, true});
    for (Component* part : std::initializer_list<Component*>{
             &panCalendAFazer, &dbcAFazer, &panDiaAFazer, &btnIrParaDia, &btnHojeDia}) {
        part->SetParent(&GroupBox1);
    }
    panCalendAFazer.SetColor(clInfoBk);
    panCalendAFazer.SetCaption("Agosto");
    speAFazerAnt.SetParent(&panCalendAFazer);
    speAFazerPost.SetParent(&panCalendAFazer);
    panDiaAFazer.SetCaption("Agosto");
    speDiaAnt.SetParent(&panDiaAFazer);
    speDiaPost.SetParent(&panDiaAFazer);

    dbcAFazer.SetStartOfWeek(0);
    dbcAFazer.SetUseCurrentDate(false);
    dbcAFazer.SetShowCurrentDay(true);
    dbcAFazer.SetHollidayColor(clRed);
    dbcAFazer.SetDate(Date::fromParts(2003, 3, 17));
    dbcAFazer.SetDataSource(&dtsDatasAFazer);
    dbcAFazer.SetDataField(std::string(ReminderRecord::DTATIVPESS));

    btnIrParaDia.SetCaption("Ir Para");
    btnHojeDia.SetCaption("Hoje");
    Hoje1.SetCaption("Hoje");
    Hoje1.SetShortCut("Ctrl+H");
    Hoje1.SetVisible(false);
    mnuManutencao.Add(Hoje1);

    const struct {
        TMenuItem& item;
        const char* caption;
    } weekdays[] = {{mnuDomAFazer, "Domingo"}, {mnuSegAFazer, "Segunda"}, {mnuTerAFazer, "Terça"},
                    {mnuQuaAFazer, "Quarta"},  {mnuQuiAFazer, "Quinta"},  {mnuSexAFazer, "Sexta"},
                    {mnuSabAFazer, "Sábado"}};
    for (const auto& weekday : weekdays) {
        weekday.item.SetCaption(weekday.caption);
        pmnAFazer.Add(weekday.item);
    }
    buildNavigationMenu();
}

// The calendar block's buttons as a menu, with the keys that step without leaving the grid.
void TfrmAFazer::buildNavigationMenu() {
    mnuNavegacao.SetCaption("Navegação");
    mnuMenu.Add(mnuNavegacao);
    const struct {
        TMenuItem& item;
        const char* caption;
        const char* shortCut;
        Component& button;
    } items[] = {{mnuDiaAnterior, "Dia anterior", "Alt+Left", speDiaAnt},
                 {mnuProximoDia, "Próximo dia", "Alt+Right", speDiaPost},
                 {mnuMesAnterior, "Mês anterior", "Alt+PgUp", speAFazerAnt},
                 {mnuProximoMes, "Próximo mês", "Alt+PgDown", speAFazerPost},
                 {mnuIrParaDia, "Ir para dia…", "", btnIrParaDia},
                 {mnuHoje, "Hoje", "Ctrl+H", btnHojeDia}};
    for (const auto& entry : items) {
        entry.item.SetCaption(entry.caption);
        entry.item.SetShortCut(entry.shortCut);
        entry.item.OnClick = [&button = entry.button] { button.Click(); };
        mnuNavegacao.Add(entry.item);
    }
}

void TfrmAFazer::buildCalendarFileItems() {
    const auto& entries = module_.Calendar();
    const struct {
        TMenuItem& item;
        const char* caption;
        const std::function<void()>& entry;
    } items[] = {{mnuExportar, "Exportar…", entries.exportFile},
                 {mnuImportar, "Importar…", entries.importFile},
                 {mnuCalendario, "Endereço do calendário…", entries.feedAddress}};
    for (const auto& one : items) {
        one.item.SetCaption(one.caption);
        one.item.SetVisible(static_cast<bool>(one.entry));
        one.item.OnClick = [&entry = one.entry] { entry(); };
        mnuOperacao.Add(one.item);
    }
}

void TfrmAFazer::buildFilters() {
    grbReferencia.SetCaption("Referência");
    edtReferencia.SetParent(&grbReferencia);
    edtReferencia.SetMaxLength(ReminderRecord::kReferenceWidth);
    edtReferencia.SetColor(clInfoBk);

    grbSituacao.SetCaption("Exibir lembretes ");
    ckcPendentes.SetParent(&grbSituacao);
    ckcPendentes.SetCaption("Pendentes");
    ckcPendentes.SetChecked(true);
    ckcRealizados.SetParent(&grbSituacao);
    ckcRealizados.SetCaption("Realizados");
    ckcTodos.SetParent(&grbSituacao);
    ckcTodos.SetCaption("A partir da data selecionada");
}

void TfrmAFazer::buildList() {
    dbsAFazer.SetDataSource(&dtsAFazer);
    dbsAFazer.SetColor(clInfoBk);
    dbsAFazer.SetFont(TFont{clBlack, false});
    dbsAFazer.SetTitleFont(TFont{clWhite, false});
    dbsAFazer.SetOptions(dgTitles | dgColumnResize | dgColLines | dgRowLines | dgTabs |
                         dgConfirmDelete | dgCancelOnExit);
    dbsAFazer.SetColumns({
        {std::string(ReminderRecord::IDSITUATPESS), "Ok", 19, Alignment::Center},
        {std::string(ReminderRecord::NRPRIOATPESS), "Prioridade", TColumn::kDefaultWidth,
         Alignment::Right},
        {std::string(ReminderRecord::HORARIO), "Horário", TColumn::kDefaultWidth, Alignment::Left},
        {std::string(ReminderRecord::DTATIVPESS), "Data", 65, Alignment::Left},
        {std::string(ReminderRecord::DSREFEATPESS), "Referência", 307, Alignment::Left},
    });
    mnuDesfazer.SetCaption("Desfazer");
    mnuDesfazer.SetShortCut("Ctrl+Z");
    mnuDesfazer.SetEnabled(false);
    mnuManutencao.Add(mnuDesfazer);
    undoHistory.OnChange = [this] { mnuDesfazer.SetEnabled(!undoHistory.Empty()); };
    dbsAFazer.SetActionColumn(dbsAFazer.ColumnIndex(ReminderRecord::IDSITUATPESS));
    dbsAFazer.DeleteConfirmation = [this] {
        if (deleteSelected() || deleteFromSeries()) {
            return false;
        }
        return Host().ShowMsg(msgMensagensPadroes, "EXCLUIR", mtConfirmation, mbYes | mbNo, 0) ==
               mrYes;
    };
    for (TImage* image : {&imgCheck, &imgUncheck, &imgAlarme}) {
        image->SetVisible(false);
        image->SetPicture(image->Name());
    }

    panFundoDescricao.SetCaption("");
    panTituloDescricao.SetParent(&panFundoDescricao);
    panTituloDescricao.SetCaption("Descrição");
    dbrDesc.SetParent(&panFundoDescricao);
    dbrDesc.SetReadOnly(true);
    dbrDesc.SetColor(clInfoBk);
    dbrDesc.SetDataSource(&dtsDescAFazer);
    dbrDesc.SetDataField(std::string(DescriptionRecord::TXATIVPESS));
    frmFormatacaoTexto.SetEditor(&dbrDesc);
    frmFormatacaoTexto.SetVisible(false);
}

void TfrmAFazer::connectHandlers() {
    OnActivate = [this] { FormActivate(); };
    sbtImprimir.OnClick = [this] { sbtImprimirClick(); };
    mnuListagem.OnClick = [this] { mnuListagemClick(); };
    mnuConfigImpressora.OnClick = [this] { mnuConfigImpressoraClick(); };
    netLembrete.BeforeConnect = [this] { netLembreteBeforeConnect(); };
    dbcAFazer.OnChange = [this] { dbcAFazerChange(); };
    btnHojeDia.OnClick = [this] { btnHojeDiaClick(); };
    Hoje1.OnClick = [this] { Hoje1Click(); };
    btnIrParaDia.OnClick = [this] { btnIrParaDiaClick(); };
    speAFazerAnt.OnClick = [this] { speAFazerAntClick(); };
    speAFazerPost.OnClick = [this] { speAFazerPostClick(); };
    speDiaAnt.OnClick = [this] { speDiaAntClick(); };
    speDiaPost.OnClick = [this] { speDiaPostClick(); };
    edtReferencia.OnChange = [this] { edtReferenciaChange(); };
    ckcPendentes.OnClick = [this] { ckcPendentesClick(); };
    ckcRealizados.OnClick = [this] { ckcRealizadosClick(); };
    ckcTodos.OnClick = [this] { ckcTodosClick(); };
    cdsAFazer.AfterOpen = [this](ClientDataSet&) { cdsAFazerAfterOpen(); };
    cdsAFazer.AfterScroll = [this](ClientDataSet&) { cdsAFazerAfterScroll(); };
    cdsAFazer.OnNewRecord = [this](ClientDataSet&) { cdsAFazerNewRecord(); };
    cdsAFazer.AfterPost = [this](ClientDataSet&) { cdsAFazerAfterDelete(); };
    cdsAFazer.AfterDelete = [this](ClientDataSet&) { cdsAFazerAfterDelete(); };
    cdsAFazer.AfterCancel = [this](ClientDataSet&) { cdsAFazerAfterCancel(); };
    cdsDescAFazer.AfterPost = [this](ClientDataSet&) { cdsDescAFazerAfterPost(); };
    dbsAFazer.OnDrawColumnCell = [this](TCanvas& canvas, const CellRect& rect, int dataCol,
                                        const TColumn& column, const GridRow& row) {
        dbsAFazerDrawColumnCell(canvas, rect, dataCol, column, row);
    };
    dbsAFazer.OnCellClick = [this](const TColumn& column) { dbsAFazerCellClick(column); };
    mnuDesfazer.OnClick = [this] { mnuDesfazerClick(); };
    dbsAFazer.OnKeyDown = [this](int& key, TShiftState shift) { dbsAFazerKeyDown(key, shift); };
    dbsAFazer.OnDblClick = [this] { dbsAFazerDblClick(); };
    dbsAFazer.RowHint = [this](const GridRow& row) { return dbsAFazerRowHint(row); };
}

// --- the list ----------------------------------------------------------------------------------

Date TfrmAFazer::SelectedDate() const {
    return Date::fromParts(dbcAFazer.GetDateElement(1), dbcAFazer.GetDateElement(2),
                           dbcAFazer.GetDateElement(3));
}

ReminderFilter TfrmAFazer::Filter() const {
    // From the day on in the day view only (agenda_views.h).
    return ReminderFilter{
        edtReferencia.Text(),   Host().Operador(),
        SelectedDate(),         ckcRealizados.Checked(),
        ckcPendentes.Checked(), ckcTodos.Checked() && views_.Kind() == ViewKind::Day};
}

void TfrmAFazer::LoadList() {
    try {
        gateway.GetAFazer(Filter(), cdsAFazer);
    } catch (const Abandon&) {
        // The rows of the previous day or filters must not pass for this one's: after a failed
        // read the list shows nothing (the failure was reported).
        cdsAFazer.Close();
        cdsDescAFazer.Close();
        throw;
    }
    views_.Reload();
}

void TfrmAFazer::ReloadKeepingRow() {
    if (cdsAFazer.State() == DataSetState::Edit || cdsAFazer.State() == DataSetState::Insert) {
        return;
    }
    const std::string number = cdsAFazer.IsEmpty()
                                   ? std::string()
                                   : cdsAFazer.FieldByName(ReminderRecord::NRATIVPESS).AsString();
    LoadList();
    backTo(number);
}

void TfrmAFazer::ShowReminder(Date day, const std::string& number) {
    if (SelectedDate() != day) {
        writeDate(day);
        MoveCalendario(0, 0);
    }
    if (!ckcPendentes.Checked()) {
        ckcPendentes.SetChecked(true);
    }
    if (!cdsAFazer.Locate(ReminderRecord::NRATIVPESS, number) && !edtReferencia.Text().empty()) {
        edtReferencia.SetText("");
    }
    backTo(number);
}

// --- navigation ----------------------------------------------------------------------------------

void TfrmAFazer::writeDate(Date date) {
    // The whole date in one write: stepping element by element could pass through a day the
    // month does not have and would raise a change (and a reload) per element.
    dbcAFazer.SetDate(date);
}

void TfrmAFazer::showMonthCaption() {
    panCalendAFazer.SetCaption(monthName(dbcAFazer.GetDateElement(2)) + "  " +
                               std::to_string(dbcAFazer.GetDateElement(1)));
}

void TfrmAFazer::MoveCalendario(int /*kind*/, int direction) {
    const int day = dbcAFazer.GetDateElement(3);
    int month = dbcAFazer.GetDateElement(2);
    int year = dbcAFazer.GetDateElement(1);
    const int current = monthIndex(year, month);
    int target = current;
    if (direction == 1 &&
        current > monthIndex(kFirstSupportedDate.year(), kFirstSupportedDate.month())) {
        target = current - 1;
    } else if (direction == 2 &&
               current < monthIndex(kLastSupportedDate.year(), kLastSupportedDate.month())) {
        target = current + 1;
    }
    if (target != current) {
        year = target / 12;
        month = target % 12 + 1;
        // The day is kept, or the month's last day when the month is shorter.
        const int kept = std::min(day, daysInMonth(year, month));
        writeDate(Date::fromParts(static_cast<std::uint16_t>(year),
                                  static_cast<std::uint16_t>(month),
                                  static_cast<std::uint16_t>(kept)));
    }
    showMonthCaption();
}

void TfrmAFazer::MoveDia(int mode) {
    Date working = mode == 3 ? Host().Today() : SelectedDate();
    if (mode == 1 && working > kFirstSupportedDate) {
        working = working.addDays(-1);
    } else if (mode == 2 && working < kLastSupportedDate) {
        working = working.addDays(1);
    }
    panDiaAFazer.SetCaption(NomeDia(working));
    writeDate(working);
    // A step into another month must not leave the previous month in the caption.
    showMonthCaption();
}

void TfrmAFazer::GerenciaDia(int mode, int weekday) {
    if (mode != 2) {
        return;
    }
    TMenuItem* items[] = {&mnuDomAFazer, &mnuSegAFazer, &mnuTerAFazer, &mnuQuaAFazer,
                          &mnuQuiAFazer, &mnuSexAFazer, &mnuSabAFazer};
    const bool known = weekday >= 1 && weekday <= 7;
    if (known) {
        const Date selected = SelectedDate();
        writeDate(selected.addDays(weekday - selected.weekday()));
    }
    for (TMenuItem* item : items) {
        item->SetChecked(false);
    }
    if (known) {
        items[weekday - 1]->SetChecked(true);
    }
}

bool TfrmAFazer::AnoBisexto(std::uint16_t year) {
    return isLeapYear(year);
}

// --- window ----------------------------------------------------------------------------------

void TfrmAFazer::FormCreate() {
    TfrmPadraoSimples::FormCreate();
    netLembrete.SetConnected(true);
}

void TfrmAFazer::FormClose(TCloseAction& action) {
    TfrmPadraoSimples::FormClose(action);
    module_.Agenda().FormClosed();
}

void TfrmAFazer::FormActivate() {
    const Date today = Host().Today();
    writeDate(today);
    MoveCalendario(0, 0);
    GerenciaDia(2, today.weekday());
    MoveDia(3);
    LoadList();
}

void TfrmAFazer::netLembreteBeforeConnect() {
    netLembrete.SetHost(Host().WebURL());
    netLembrete.SetPort(Host().WebPort());
}

void TfrmAFazer::dbcAFazerChange() {
    DetachedFrameSource detached(dtsPadrao, cdsAFazer);
    MoveDia(0);
    LoadList();
}

void TfrmAFazer::btnHojeDiaClick() {
    writeDate(Host().Today());
    MoveDia(3);
    MoveCalendario(2, 0);
}

void TfrmAFazer::Hoje1Click() {
    btnHojeDiaClick();
}

void TfrmAFazer::btnIrParaDiaClick() {
    std::uint16_t year = dbcAFazer.GetDateElement(1);
    std::uint16_t month = dbcAFazer.GetDateElement(2);
    std::uint16_t day = dbcAFazer.GetDateElement(3);
    GoToDayUnit& goToDay = module_.GoToDay();
    goToDay.CriaIrParaDia(year, month, day);
    writeDate(goToDay.ChosenDate());
    MoveCalendario(0, 0);
}

void TfrmAFazer::speAFazerAntClick() {
    MoveCalendario(2, 1);
}

void TfrmAFazer::speAFazerPostClick() {
    MoveCalendario(2, 2);
}

void TfrmAFazer::speDiaAntClick() {
    MoveDia(1);
}

void TfrmAFazer::speDiaPostClick() {
    MoveDia(2);
}

void TfrmAFazer::edtReferenciaChange() {
    LoadList();
}

void TfrmAFazer::ckcPendentesClick() {
    LoadList();
}

void TfrmAFazer::ckcRealizadosClick() {
    LoadList();
}

void TfrmAFazer::ckcTodosClick() {
    LoadList();
}

void TfrmAFazer::sbtVerificarClick() {
    dbcAFazerChange();
}

void TfrmAFazer::sbtIncluirClick() {
    module_.CriaManutAFazer("", true);
}

void TfrmAFazer::sbtAlterarClick() {
    TfrmPadraoSimples::sbtAlterarClick();
    module_.CriaManutAFazer(cdsAFazer.FieldByName(ReminderRecord::NRATIVPESS).AsString(), true);
}

// --- printing --------------------------------------------------------------------------------

void TfrmAFazer::sbtImprimirClick() {
    if (views_.PrintShown()) {
        return;
    }
    if (!cdsAFazer.Active() || cdsAFazer.IsEmpty()) {
        return;
    }
    ClientDataSet description("cdsImpressaoDesc", DescriptionRecord::layout());
    const PrintDocument document =
        ListPrintout(cdsAFazer, Filter(), [&](const std::string& number) {
            gateway.GetDescAFazer(Host().Operador(), number, description);
            return description.IsEmpty()
                       ? std::string()
                       : description.FieldByName(DescriptionRecord::TXATIVPESS).AsString();
        });
    Host().PrintPreview(document);
}

void TfrmAFazer::mnuListagemClick() {
    const Date selected = SelectedDate();
    const Date first = Date::fromParts(selected.year(), selected.month(), 1);
    DayRange days{first, first.addDays(daysInMonth(selected.year(), selected.month()) - 1)};
    if (!Host().AskDayRange("Listagem", days)) {
        return;
    }
    if (days.last < days.first) {
        Host().MensErro("A data final da listagem deve ser igual ou posterior à inicial.");
    }
    if (days.first.daysUntil(days.last) >= view_contract::kMaxRangeDays) {
        Host().MensErro("A listagem abrange no máximo " +
                        std::to_string(view_contract::kMaxRangeDays) + " dias.");
    }
    ClientDataSet listing("cdsListagem", ReminderRecord::layout());
    const ReminderFilter filter = Filter();
    gateway.GetAFazerPeriodo(filter, days, listing);
    Host().PrintPreview(ListingPrintout(listing, filter, days));
}

void TfrmAFazer::mnuConfigImpressoraClick() {
    Host().PageSetup();
}

// --- datasets --------------------------------------------------------------------------------

void TfrmAFazer::cdsAFazerAfterOpen() {
    // The description follows from the after-scroll that opening the list raises next. Only
    // the weeks the calendar shows are asked for: a long history costs nothing per load.
    gateway.GetDatasAFazer(Host().Operador(), cdsDatasAFazer, dbcAFazer.ShownDays());
}

void TfrmAFazer::cdsAFazerAfterScroll() {
    if (bulk_) {
        return;
    }
    if (cdsAFazer.IsEmpty()) {
        // No row, no description to ask for: the pane is emptied.
        DataPacket empty;
        empty.fields = DescriptionRecord::fields();
        cdsDescAFazer.SetData(empty);
        return;
    }
    gateway.GetDescAFazer(cdsAFazer.FieldByName(ReminderRecord::CDOPERADOR).AsString(),
                          cdsAFazer.FieldByName(ReminderRecord::NRATIVPESS).AsString(),
                          cdsDescAFazer);
}

void TfrmAFazer::cdsAFazerNewRecord() {
    // Reminders are created in the editor only.
    throw Abandon();
}

void TfrmAFazer::cdsAFazerAfterDelete() {
    if (bulk_) {
        return;
    }
    sendList([this] { LoadList(); });
}

void TfrmAFazer::sendList(const std::function<void()>& reload) {
    try {
        UndoStep step = undoHistory.Capture(Host().Operador(), &cdsAFazer);
        gateway.SetAfazer(cdsAFazer, true, ReminderGateway::OnFailure::CancelChanges);
        undoHistory.Push(std::move(step));
    } catch (const Abandon&) {
        // Nothing was stored: the list shows what the server holds, not the refused change.
        // The refusal was shown; a reload that fails too (the server is down) says so only in
        // the status bar and the emptied list.
        ReminderGateway::QuietFailures quiet(gateway);
        reload();
        throw;
    }
    reload();
}

void TfrmAFazer::sbtExcluirClick() {
    if (!deleteSelected() && !deleteFromSeries()) {
        TfrmPadraoSimples::sbtExcluirClick();
    }
}

void TfrmAFazer::mnuDesfazerClick() {
    if (undoHistory.Empty()) {
        return;
    }
    try {
        undoHistory.Undo();
    } catch (const Abandon&) {
        ReminderGateway::QuietFailures quiet(gateway);
        ReloadKeepingRow();
        throw;
    }
    ReloadKeepingRow();
}

bool TfrmAFazer::deleteFromSeries() {
    if (!cdsAFazer.Active() || cdsAFazer.IsEmpty()) {
        return false;
    }
    const std::string series = cdsAFazer.FieldByName(ReminderRecord::NRREPETATIVP).AsString();
    if (series.empty()) {
        return false;
    }
    const std::string number = cdsAFazer.FieldByName(ReminderRecord::NRATIVPESS).AsString();
    const int choice = Host().ChooseOption(kDeleteScopeQuestion, kDeleteScopeOptions);
    if (choice == HostServices::kOptionCancelled) {
        return true;
    }
    SeriesChange change(gateway, nullptr, &undoHistory);
    change.Load(Host().Operador(), series);
    if (change.Position(number) == 0) {
        // Deleted or moved to another series meanwhile, on another desktop.
        LoadList();
        Host().MensErro("O lembrete " + number +
                        " não está mais nesta série. A agenda foi recarregada.");
    }
    const int kept = change.Delete(static_cast<SeriesScope>(choice), number);
    if (kept > 0) {
        Host().ShowMsg(keptDoneMessage(kept), mtInformation, mbOK, 0);
    }
    LoadList();
    return true;
}

void TfrmAFazer::cdsAFazerAfterCancel() {
    cdsAFazer.CancelUpdates();
}

void TfrmAFazer::cdsDescAFazerAfterPost() {
    gateway.SetDescAFazer(cdsDescAFazer, true);
}

// --- grid ------------------------------------------------------------------------------------

void TfrmAFazer::dbsAFazerDrawColumnCell(TCanvas& canvas, const CellRect& rect, int /*dataCol*/,
                                         const TColumn& column, const GridRow& row) {
    if (cdsAFazer.IsEmpty()) {
        return;
    }
    if (Overdue(row)) {
        canvas.SetFontColor(kOverdueColor);
        if (column.FieldName != ReminderRecord::IDSITUATPESS &&
            column.FieldName != ReminderRecord::DSREFEATPESS) {
            canvas.FillRect();
            canvas.TextOut(rect.left + kImageLeft, rect.top + kTextTop, row.Text(column.FieldName),
                           column.Align);
        }
    }
    if (column.FieldName == ReminderRecord::IDSITUATPESS) {
        canvas.FillRect();
        const bool done = row.Text(ReminderRecord::IDSITUATPESS) == ReminderRecord::kDone;
        canvas.Draw(rect.left + kImageLeft, rect.top, (done ? imgCheck : imgUncheck).Name(),
                    clOlive);
    } else if (column.FieldName == ReminderRecord::DSREFEATPESS) {
        canvas.FillRect();
        int textLeft = kImageLeft;
        if (row.Text(ReminderRecord::IDALARATPESS) == ReminderRecord::kAlarmOn) {
            canvas.Draw(rect.left + kImageLeft, rect.top, imgAlarme.Name(), clOlive);
            textLeft = kTextAfterImage;
        }
        canvas.TextOut(rect.left + textLeft, rect.top + kTextTop,
                       row.Text(ReminderRecord::DSREFEATPESS));
    }
}

bool TfrmAFazer::Overdue(const GridRow& row) const {
    const Variant& when = row.Value(ReminderRecord::DTATIVPESS);
    return row.Text(ReminderRecord::IDSITUATPESS) == ReminderRecord::kPending &&
           when.kind() == VariantKind::DateTime && when.asDateTime() < Host().Now();
}

std::string TfrmAFazer::dbsAFazerRowHint(const GridRow& row) const {
    const std::string state = row.Text(ReminderRecord::IDSITUATPESS);
    if (state == ReminderRecord::kDone) {
        return "Realizado";
    }
    if (state != ReminderRecord::kPending) {
        return {};
    }
    return Overdue(row) ? "Pendente, atrasado: a data e a hora já passaram" : "Pendente";
}

void TfrmAFazer::dbsAFazerCellClick(const TColumn& column) {
    if (column.FieldName != ReminderRecord::IDSITUATPESS || toggleSelected()) {
        return;
    }
    ControlsDisabled held(cdsAFazer);
    const std::string number = currentNumber();
    try {
        toggleCurrent();
    } catch (...) {
        backTo(number);
        throw;
    }
    backTo(number);
}

std::string TfrmAFazer::currentNumber() {
    return cdsAFazer.Active() && !cdsAFazer.IsEmpty()
               ? cdsAFazer.FieldByName(ReminderRecord::NRATIVPESS).AsString()
               : std::string();
}

void TfrmAFazer::toggleCurrent() {
    if (cdsAFazer.IsEmpty()) {
        return;
    }
    setCurrentState(cdsAFazer.FieldByName(ReminderRecord::IDSITUATPESS).AsString() ==
                    ReminderRecord::kPending);
}

void TfrmAFazer::setCurrentState(bool done) {
    cdsAFazer.Edit();
    cdsAFazer.FieldByName(ReminderRecord::IDSITUATPESS)
        .SetAsString(std::string(done ? ReminderRecord::kDone : ReminderRecord::kPending));
    if (done) {
        cdsAFazer.FieldByName(ReminderRecord::IDALARATPESS)
            .SetAsString(std::string(ReminderRecord::kAlarmOff));
    }
    cdsAFazer.Post();
}

bool TfrmAFazer::toggleSelected() {
    if (dbsAFazer.SelectedCount() < 2) {
        return false;
    }
    const std::string current = currentNumber();
    const bool done =
        cdsAFazer.FieldByName(ReminderRecord::IDSITUATPESS).AsString() == ReminderRecord::kPending;
    const std::string_view wanted = done ? ReminderRecord::kDone : ReminderRecord::kPending;
    std::vector<std::string> selected;
    {
        ControlsDisabled held(cdsAFazer);
        FlagScope bulk(bulk_);
        changesTogether({&cdsAFazer}, [&] {
            for (const int row : dbsAFazer.SelectedRows()) {
                cdsAFazer.MoveTo(row + 1);
                selected.push_back(currentNumber());
                if (cdsAFazer.FieldByName(ReminderRecord::IDSITUATPESS).AsString() != wanted) {
                    setCurrentState(done);
                }
            }
        });
    }
    sendSelected(current, selected);
    return true;
}

bool TfrmAFazer::deleteSelected() {
    if (!cdsAFazer.Active() || dbsAFazer.SelectedCount() < 2) {
        return false;
    }
    const std::vector<int> rows = dbsAFazer.SelectedRows();
    if (Host().ShowMsg("Excluir os " + std::to_string(rows.size()) + " lembretes selecionados?",
                       mtConfirmation, mbYes | mbNo, 0) != mrYes) {
        return true;
    }
    // Kept for a refused delete: the rows are still there, selected again.
    const std::string current = currentNumber();
    std::vector<std::string> selected;
    {
        ControlsDisabled held(cdsAFazer);
        FlagScope bulk(bulk_);
        changesTogether({&cdsAFazer}, [&] {
            // From the last row back, so that the rows still to go keep their places.
            for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
                cdsAFazer.MoveTo(*row + 1);
                selected.push_back(currentNumber());
                cdsAFazer.Delete();
            }
        });
    }
    sendSelected(current, selected);
    return true;
}

void TfrmAFazer::sendSelected(const std::string& current,
                              const std::vector<std::string>& selected) {
    const std::set<std::string> chosen(selected.begin(), selected.end());
    const auto reload = [&] {
        LoadList();
        backTo(current);
        std::vector<int> rows;
        const int numberField = cdsAFazer.FieldIndex(ReminderRecord::NRATIVPESS);
        for (int row = 0; row < cdsAFazer.RecordCount(); ++row) {
            if (chosen.contains(cdsAFazer.RowAt(row)[numberField].toText())) {
                rows.push_back(row);
            }
        }
        if (!rows.empty()) {
            dbsAFazer.SelectRows(rows);
        }
    };
    sendList(reload);
}

void TfrmAFazer::backTo(const std::string& number) {
    if (number.empty() || cdsAFazer.IsEmpty() ||
        utf8::equalIgnoringCase(cdsAFazer.FieldByName(ReminderRecord::NRATIVPESS).AsString(),
                                number)) {
        return;
    }
    cdsAFazer.Locate(ReminderRecord::NRATIVPESS, number);
}

void TfrmAFazer::dbsAFazerKeyDown(int& key, TShiftState shift) {
    if (key == VK_RETURN && shift == ssNone) {
        // Enter on a row changes it, as "Alterar" does.
        key = 0;
        sbtAlterar.Click();
        return;
    }
    if (key != VK_SPACE || (shift & ssCtrl) != 0) {
        return;
    }
    const int column = IndiceCol(dbsAFazer, ReminderRecord::IDSITUATPESS);
    dbsAFazer.SetSelectedIndex(column);
    dbsAFazerCellClick(dbsAFazer.Columns()[column]);
}

void TfrmAFazer::dbsAFazerDblClick() {
    if (cdsAFazer.IsEmpty()) {
        return;
    }
    module_.CriaManutAFazer(cdsAFazer.FieldByName(ReminderRecord::NRATIVPESS).AsString(), true);
}

}  // namespace lembrete
