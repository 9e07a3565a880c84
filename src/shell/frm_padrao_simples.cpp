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
      mnuImprimir(Add<TMenuItem>("mnuImprimir")),
      mnuIncluir(Add<TMenuItem>("mnuIncluir")),
      mnuAlterar(Add<TMenuItem>("mnuAlterar")),
      mnuExcluir(Add<TMenuItem>("mnuExcluir")),
      mnuAtualizar(Add<TMenuItem>("mnuAtualizar")),
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
    buildButtonItems();

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

void TfrmPadraoSimples::buildButtonItems() {
    const struct {
        TMenuItem& item;
        TSpeedButton& button;
        const char* shortCut;
    } items[] = {{mnuImprimir, sbtImprimir, "Ctrl+P"},
                 {mnuIncluir, sbtIncluir, "Ctrl+N"},
                 {mnuAlterar, sbtAlterar, "F2"},
                 {mnuExcluir, sbtExcluir, ""},
                 {mnuAtualizar, sbtVerificar, "F5"}};
    for (const auto& entry : items) {
        entry.item.SetCaption(entry.button.Hint());
        entry.item.SetShortCut(entry.shortCut);
        entry.item.OnClick = [&button = entry.button] { button.Click(); };
        buttonItems_.emplace_back(&entry.item, &entry.button);
    }
    // Printing first in Operação; the others after the frame's own items of Manutenção.
    mnuOperacao.Add(mnuImprimir);
    mnuOperacao.Add(mnuListagem);
    mnuOperacao.Add(mnuConfigImpressora);
    mnuManutencao.Add(mnuCancelar);
    mnuManutencao.Add(mnuConfirmar);
    for (TMenuItem* item : {&mnuIncluir, &mnuAlterar, &mnuExcluir, &mnuAtualizar}) {
        mnuManutencao.Add(*item);
    }
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
    for (const auto& [item, button] : buttonItems_) {
        item->SetEnabled(button->Enabled());
    }
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
