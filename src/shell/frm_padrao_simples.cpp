#include "shell/frm_padrao_simples.h"

#include "shell/host_services.h"

namespace lembrete {

TfrmPadraoSimples::TfrmPadraoSimples(std::string name, HostServices& host)
    : TForm(std::move(name), &host.Presenter()),
      panMenu(Add<TPanel>("panMenu")),
      sbtConfirmar(Add<TSpeedButton>("sbtConfirmar")),
      sbtCancelar(Add<TSpeedButton>("sbtCancelar")),
      sbtAlterar(Add<TSpeedButton>("sbtAlterar")),
      sbtExcluir(Add<TSpeedButton>("sbtExcluir")),
      sbtImprimir(Add<TSpeedButton>("sbtImprimir")),
      sbtIncluir(Add<TSpeedButton>("sbtIncluir")),
      sbtVerificar(Add<TSpeedButton>("sbtVerificar")),
      dbtNome(Add<TDBText>("dbtNome")),
      mnuMenu(Add<TMainMenu>("mnuMenu")),
      mnuOperacao(Add<TMenuItem>("mnuOperacao")),
      mnuListagem(Add<TMenuItem>("mnuListagem")),
      mnuConfigImpressora(Add<TMenuItem>("mnuConfigImpressora")),
      mnuManutencao(Add<TMenuItem>("mnuManutencao")),
      mnuCancelar(Add<TMenuItem>("mnuCancelar")),
      mnuConfirmar(Add<TMenuItem>("mnuConfirmar")),
      msgPadrao(Add<TMessages>("msgPadrao")),
      msgMensagensPadroes(Add<TMessages>("msgMensagensPadroes")),
      dtsPadrao(Make<lembrete::DataSource>("dtsPadrao")),
      host_(host) {
    dbtNome.SetVisible(false);
    mnuOperacao.SetCaption("Operação");
    mnuListagem.SetCaption("Listagem");
    mnuConfigImpressora.SetCaption("Configurar impressora");
    mnuManutencao.SetCaption("Manutenção");
    mnuCancelar.SetCaption("Cancelar");
    mnuConfirmar.SetCaption("Confirmar");
    mnuMenu.Add(mnuOperacao);
    mnuMenu.Add(mnuManutencao);
    mnuOperacao.Add(mnuListagem);
    mnuOperacao.Add(mnuConfigImpressora);
    mnuManutencao.Add(mnuCancelar);
    mnuManutencao.Add(mnuConfirmar);
    const struct {
        TSpeedButton& button;
        const char* hint;
    } hints[] = {{sbtConfirmar, "Confirmar"}, {sbtCancelar, "Cancelar"}, {sbtAlterar, "Alterar"},
                 {sbtExcluir, "Excluir"},     {sbtImprimir, "Imprimir"}, {sbtIncluir, "Incluir"},
                 {sbtVerificar, "Atualizar"}};
    for (const auto& entry : hints) {
        entry.button.SetHint(entry.hint);
    }
    msgMensagensPadroes.SetMessages({"EXCLUIR|Confirma a exclusão do registro?"});

    OnCreate = [this] { FormCreate(); };
    OnClose = [this](TCloseAction& action) { FormClose(action); };
    sbtConfirmar.OnClick = [this] { sbtConfirmarClick(); };
    mnuConfirmar.OnClick = [this] { sbtConfirmarClick(); };
    sbtCancelar.OnClick = [this] { sbtCancelarClick(); };
    mnuCancelar.OnClick = [this] { sbtCancelarClick(); };
    sbtAlterar.OnClick = [this] { sbtAlterarClick(); };
    sbtExcluir.OnClick = [this] { sbtExcluirClick(); };
    sbtIncluir.OnClick = [this] { sbtIncluirClick(); };
    sbtVerificar.OnClick = [this] { sbtVerificarClick(); };

    stateWatch_ = dtsPadrao.Subscribe([this](DataChange) { updateButtons(); });
    updateButtons();
}

void TfrmPadraoSimples::updateButtons() {
    const ClientDataSet* dataSet = dtsPadrao.DataSet();
    const DataSetState state = dataSet != nullptr ? dataSet->State() : DataSetState::Inactive;
    const bool editing = state == DataSetState::Edit || state == DataSetState::Insert;
    const bool browsingRow = state == DataSetState::Browse && !dataSet->IsEmpty();
    sbtConfirmar.SetEnabled(editing);
    sbtCancelar.SetEnabled(editing);
    mnuConfirmar.SetEnabled(editing);
    mnuCancelar.SetEnabled(editing);
    sbtAlterar.SetEnabled(browsingRow);
    sbtExcluir.SetEnabled(browsingRow);
    sbtImprimir.SetEnabled(browsingRow);
    sbtIncluir.SetEnabled(!editing);
    sbtVerificar.SetEnabled(!editing);
}

void TfrmPadraoSimples::FormCreate() {
    updateButtons();
}

void TfrmPadraoSimples::FormClose(TCloseAction& action) {
    action = caFree;
}

void TfrmPadraoSimples::sbtConfirmarClick() {
    if (ClientDataSet* dataSet = dtsPadrao.DataSet()) {
        dataSet->Post();
    }
}

void TfrmPadraoSimples::sbtCancelarClick() {
    if (ClientDataSet* dataSet = dtsPadrao.DataSet()) {
        dataSet->Cancel();
    }
}

void TfrmPadraoSimples::sbtAlterarClick() {
    ClientDataSet* dataSet = dtsPadrao.DataSet();
    if (dataSet != nullptr && dataSet->Active() && !dataSet->IsEmpty()) {
        dataSet->Edit();
    }
}

void TfrmPadraoSimples::sbtIncluirClick() {
    ClientDataSet* dataSet = dtsPadrao.DataSet();
    if (dataSet != nullptr && dataSet->Active()) {
        dataSet->Append();
    }
}

void TfrmPadraoSimples::sbtExcluirClick() {
    ClientDataSet* dataSet = dtsPadrao.DataSet();
    if (dataSet == nullptr || !dataSet->Active() || dataSet->IsEmpty()) {
        return;
    }
    if (host_.ShowMsg(msgMensagensPadroes, "EXCLUIR", mtConfirmation, mbYes | mbNo, 0) == mrYes) {
        dataSet->Delete();
    }
}

void TfrmPadraoSimples::sbtVerificarClick() {}

}  // namespace lembrete
