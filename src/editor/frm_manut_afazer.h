// TfrmManutAFazer: the reminder editor ("Altera Lembrete", screen LMB00301), a modal dialog
// that creates a reminder or changes one, with its general data and alarm ("Geral"), its
// repetition ("Repetições") and its long description ("Descrição").
//
// The EditorUnit creates one for each opening and releases it after the dialog closes. The
// form owns its components and its three datasets (cdsAuxAFazer: the reminder rows loaded with
// the agenda's filters; cdsAuxDesc: the edited reminder's description row; cdsObs: the
// description being typed). It reaches the agenda window it was opened from for the
// connection, the filters, the calendar and the list it reloads after a save; the agenda
// window outlives the dialog. The repetition rule it edits lives in the unit.
//
// Saving a repeating reminder hands the occurrences and their rule to a SeriesWriter (one block
// of numbers, one SetSerieAFazer, all or nothing). Whenever a save fails, the user has been told,
// the dialog stays open and the row being edited is as the user left it, so a second OK saves it
// once.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "data/client_data_set.h"
#include "data/data_source.h"
#include "data/reminder_gateway.h"
#include "recurrence/recurrence_summary.h"
#include "series/series_change.h"
#include "series/series_writer.h"
#include "toolkit/bit_button.h"
#include "toolkit/check_box.h"
#include "toolkit/combo_box.h"
#include "toolkit/date_edit.h"
#include "toolkit/date_time_picker.h"
#include "toolkit/db_date_edit.h"
#include "toolkit/db_rich_edit.h"
#include "toolkit/edit.h"
#include "toolkit/form.h"
#include "toolkit/format_panel.h"
#include "toolkit/label.h"
#include "toolkit/mask_edit.h"
#include "toolkit/menu_item.h"
#include "toolkit/messages.h"
#include "toolkit/page_control.h"
#include "toolkit/panel.h"
#include "toolkit/radio_button.h"
#include "toolkit/spin_edit.h"
#include "toolkit/tab_sheet.h"

namespace lembrete {

class EditorUnit;
class HostServices;
class RecurrenceRule;
class TfrmAFazer;

class TfrmManutAFazer : public TForm {
  public:
    static constexpr std::string_view kScreenCode = "LMB00301";

    TfrmManutAFazer(EditorUnit& unit, TfrmAFazer& agenda, HostServices& host);

    // --- components -----------------------------------------------------------------------
    TPageControl& pgcGeral;
    TTabSheet& tshGeral;
    TTabSheet& tshRepeticao;
    TTabSheet& tshObservacao;
    TBitBtn& bitConfirma;
    TBitBtn& bitCancela;
    TBitBtn& bitAjuda;
    // "Ajuda" and F1: the user guide at the section of the tab shown.
    TMenuItem& mnuGuia;
    TMessages& msgPadrao;

    // "Geral"
    TDBRichEdit& drtDesc;
    TDBDateEdit& depData;
    TDateTimePicker& dtpHora;
    TMaskEdit& medPrioridade;
    TCheckBox& chbAlarme;
    TSpinEdit& speAlarme;
    TComboBox& cbbAlarme;
    TCheckBox& chbHoraEvento;

    // "Repetições"
    TPanel& panTopoRepet;
    TPanel& panNenhuma;
    TPanel& panDiario;
    TPanel& panSemanal;
    TPanel& panMensal;
    TPanel& panAnual;
    TPanel& panOpcoes;
    TLabel& lblACada;
    TSpinEdit& speDia;
    TLabel& lblACadaComp;
    TPanel& panRepetir;
    TPanel& panDom;
    TPanel& panSeg;
    TPanel& panTer;
    TPanel& panQua;
    TPanel& panQui;
    TPanel& panSex;
    TPanel& panSab;
    TLabel& lblPor;
    TComboBox& cbbPor;
    TEdit& edtInfo;
    TRadioButton& rdbTermina;
    TDateEdit& depDataTermino;
    TRadioButton& rdbSemData;

    // "Descrição"
    TDBRichEdit& dbrTxAtivPess;
    TFormatPanel& FormatPanel2;

    ClientDataSet& cdsAuxAFazer;
    DataSource& dtsAuxAFazer;
    ClientDataSet& cdsAuxDesc;
    ClientDataSet& cdsObs;
    DataSource& dtsObs;
    // The rule of the series being stored (SeriesRecord).
    ClientDataSet& cdsRegra;

    // --- handlers -------------------------------------------------------------------------
    void FormCreate();
    void FormActivate();
    void FormClose(TCloseAction& action);
    void chbAlarmeClick();
    void chbHoraEventoClick();
    void bitConfirmaClick();
    void bitCancelaClick();
    void pgcGeralChange();
    void speDiaChange();
    void cbbPorChange();
    void rdbSemDataClick();
    void rdbTerminaClick();
    void cdsAuxAFazerBeforePost(ClientDataSet& dataSet);
    void cdsAuxAFazerAfterPost(ClientDataSet& dataSet);
    void cdsAuxDescAfterPost(ClientDataSet& dataSet);
    void cdsObsBeforePost(ClientDataSet& dataSet);

    // --- the repetition tab -----------------------------------------------------------------
    // Sets the kind ("N", "D", "S", "M", "A") and the tab's layout; another code does nothing.
    void ControlaRepeticao(std::string_view kind);
    // Toggles weekday `day` (1 = Sunday .. 7); another value does nothing.
    void ControlaSemana(int day);
    // Clears every weekday flag and paints the weekday panels clWindow.
    void SetaSemana();
    // Stores the occurrences of the rule as new reminders (SeriesWriter); on a failure the
    // working row comes back as the user left it.
    void GravaRepeticao();

  private:
    // The working row as the user left it, so that a failed save can give it back.
    struct WorkingRow {
        bool isNew = false;
        std::string number;
        Row values;
    };

    void buildGeneralTab();
    void buildRepetitionTab();
    void buildDescriptionTab();
    void buildMessages();
    void wireHandlers();
    std::string_view helpSection() const;

    RecurrenceRule& rule() const;
    ReminderGateway& gateway() const;
    ReminderFilter agendaFilter() const;
    Date startDate() const;
    // Recomposes edtInfo for summary kind 1..4; left as it is while speDia is not a number.
    void showSummary(int kind);
    void selectKindPanel(TPanel& selected);
    void weekdayClick(int day);

    void loadRowToEdit();
    // When the edited reminder belongs to a series: its rows and rule, and the rule on the tab.
    void loadSeries();
    void showStoredRule(const StoredRule& stored);
    // The rule the tab holds, with its interval and end as the controls show them.
    RecurrenceRule chosenRule() const;
    OccurrenceValues occurrenceValues() const;
    // Saves an occurrence of a series with the scope the user picks; false when cancelled.
    bool saveInSeries();
    // The long description as the user left it, when it differs from the one read.
    std::optional<SeriesChange::DescriptionChange> descriptionChange();
    void loadDescription(const std::string& number);
    void validate();
    void refuse(TTabSheet& page, Component& control, std::string_view key);
    void fillRow();
    void saveSingle();
    // Posts (and so sends) the working row; on a failure gives it back as the user left it.
    void postWorkingRow(const WorkingRow& working);
    void postDescription(const std::string& number);
    // Reloads the agenda (when asked to) and moves it to `day`.
    void refreshAgenda(Date day);

    WorkingRow snapshotWorkingRow();
    void restoreWorkingRow(const WorkingRow& row);

    EditorUnit& unit_;
    TfrmAFazer& agenda_;
    HostServices& host_;
    RecurrenceSummary summary_;
    // While it posts a series, the after-post handlers leave the sending to it.
    SeriesWriter series_;
    // The series of the edited reminder, when it belongs to one.
    SeriesChange seriesChange_;
    bool inSeries_ = false;
    std::optional<StoredRule> loadedRule_;
    Row loadedRow_;
    bool activated_ = false;
};

}  // namespace lembrete
