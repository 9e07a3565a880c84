// TfrmPadraoSimples: the standard screen frame the agenda window derives from.
//
// It brings the tool bar panMenu (sbtConfirmar, sbtCancelar, sbtAlterar, sbtExcluir,
// sbtImprimir, sbtIncluir, sbtVerificar and the hidden dbtNome), the main menu mnuMenu
// (mnuOperacao: mnuListagem, mnuConfigImpressora; mnuManutencao: mnuCancelar, mnuConfirmar),
// the message tables msgPadrao and msgMensagensPadroes and the data source dtsPadrao. The menu
// also offers each tool bar button as an item with its keyboard shortcut (mnuImprimir Ctrl+P;
// mnuIncluir Ctrl+N, mnuAlterar F2, mnuExcluir, mnuAtualizar F5): the item clicks its button,
// and is enabled with it.
//
// The state of dtsPadrao's dataset drives the buttons: without an open dataset only Incluir
// and Verificar are enabled; browsing, Alterar, Excluir and Imprimir are enabled when there is
// a row; editing or inserting, only Confirmar and Cancelar (and their menu items).
//
// Derived screens extend the virtual handlers and call the frame's version where they run
// "the inherited behaviour first". The frame's own behaviour: FormClose releases the form
// (caFree); sbtAlterarClick puts the current row in edit state; sbtIncluirClick appends a
// row; sbtExcluirClick asks "EXCLUIR" of msgMensagensPadroes as a yes/no question and deletes
// the current row on yes; sbtConfirmarClick posts, sbtCancelarClick cancels;
// sbtVerificarClick does nothing.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "data/data_source.h"
#include "toolkit/db_text.h"
#include "toolkit/form.h"
#include "toolkit/menu_item.h"
#include "toolkit/messages.h"
#include "toolkit/panel.h"
#include "toolkit/speed_button.h"

namespace lembrete {

class HostServices;

class TfrmPadraoSimples : public TForm {
  public:
    TfrmPadraoSimples(std::string name, HostServices& host);

    HostServices& Host() const { return host_; }

    TPanel& panMenu;
    TSpeedButton& sbtConfirmar;
    TSpeedButton& sbtCancelar;
    TSpeedButton& sbtAlterar;
    TSpeedButton& sbtExcluir;
    TSpeedButton& sbtImprimir;
    TSpeedButton& sbtIncluir;
    TSpeedButton& sbtVerificar;
    TDBText& dbtNome;
    TMainMenu& mnuMenu;
    TMenuItem& mnuOperacao;
    TMenuItem& mnuListagem;
    TMenuItem& mnuConfigImpressora;
    TMenuItem& mnuManutencao;
    TMenuItem& mnuCancelar;
    TMenuItem& mnuConfirmar;
    TMenuItem& mnuImprimir;
    TMenuItem& mnuIncluir;
    TMenuItem& mnuAlterar;
    TMenuItem& mnuExcluir;
    TMenuItem& mnuAtualizar;
    TMessages& msgPadrao;
    TMessages& msgMensagensPadroes;
    lembrete::DataSource& dtsPadrao;

    virtual void FormCreate();
    virtual void FormClose(TCloseAction& action);
    virtual void sbtConfirmarClick();
    virtual void sbtCancelarClick();
    virtual void sbtAlterarClick();
    virtual void sbtExcluirClick();
    virtual void sbtIncluirClick();
    virtual void sbtVerificarClick();

  private:
    void buildButtonItems();
    void updateButtons();

    HostServices& host_;
    // The menu items that stand for tool bar buttons, and their buttons.
    std::vector<std::pair<TMenuItem*, TSpeedButton*>> buttonItems_;
    lembrete::DataSource::Subscription stateWatch_;
};

}  // namespace lembrete
