// The connection, the standard frame and the scripted host the other suites rely on.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "data/client_data_set.h"
#include "shell/frm_padrao_simples.h"
#include "shell/hour_glass.h"
#include "shell/net_connection.h"
#include "support/component_state.h"
#include "support/scripted_host.h"
#include "toolkit/bit_button.h"

namespace lembrete {
namespace {

using testing::ScriptedHost;

class HostTest : public ::testing::Test {
  protected:
    HostTest() {
        // Answers every call with the address it reached and the method name.
        host.SetTransportFactory([](const std::string& address, int port, const std::string&) {
            const std::string where = address + ":" + std::to_string(port);
            return std::make_unique<testing::FunctionAppServer>(
                [where](std::string_view method, const std::vector<Variant>&) {
                    return ServerResult::success(Variant(where + "/" + std::string(method)));
                });
        });
    }
    ScriptedHost host;
};

TEST_F(HostTest, ConnectionOpensOnFirstUseAfterBeforeConnect) {
    TForm form("frmAFazer");
    auto& net = form.Add<TNetConnection>("netLembrete", host);
    net.SetServerName("lmb00300.rdmLembrete");
    EXPECT_EQ(net.Host(), "127.0.0.1");
    host.SetWebURL("servidor");
    host.SetWebPort(9000);
    int connects = 0;
    net.BeforeConnect = [&] {
        ++connects;
        net.SetHost(host.WebURL());
        net.SetPort(host.WebPort());
    };
    EXPECT_FALSE(net.Connected());
    const ServerResult first =
        net.GetAppServer().call("GetAFazer", {Variant("abc"), Variant(true), Variant()});
    net.GetAppServer().call("GetDatasAFazer", {Variant(DataPacket{})});
    EXPECT_TRUE(net.Connected());
    EXPECT_EQ(connects, 1);
    EXPECT_EQ(first.payload.asString(), "servidor:9000/GetAFazer");
    EXPECT_EQ(host.TakeCalls(),
              (std::vector<std::string>{"CreateAppServer(servidor:9000,lmb00300.rdmLembrete)",
                                        "GetAFazer(abc,True,)",
                                        "GetDatasAFazer(<packet: 0 rows, 0 changes>)"}));

    net.SetConnected(false);
    net.GetAppServer();
    EXPECT_EQ(connects, 2);
}

TEST_F(HostTest, AnAbandonInBeforeConnectOpensNothing) {
    TForm form("frmAFazer");
    auto& net = form.Add<TNetConnection>("netLembrete", host);
    net.BeforeConnect = [&] { host.MensErro("Servidor não configurado."); };
    EXPECT_THROW(net.GetAppServer(), Abandon);
    bool reached = false;
    form.OnCreate = [&] {
        net.GetAppServer();
        reached = true;
    };
    form.Create();  // inside an event the abandon ends the handler
    EXPECT_FALSE(reached);
    EXPECT_FALSE(net.Connected());
    EXPECT_EQ(host.Errors().size(), 2u);
}

TEST_F(HostTest, MensErroShowsAndAbandonsOnlyWhenAsked) {
    EXPECT_THROW(host.MensErro("Descrição deve ser informada."), Abandon);
    EXPECT_NO_THROW(host.MensErro("Aviso.", false));
    EXPECT_EQ(host.Calls(), (std::vector<std::string>{"MensErro(Descrição deve ser informada.)",
                                                      "MensErro(Aviso.)"}));
}

TEST_F(HostTest, CheckResultServGivesThePayloadOrReportsAndAbandons) {
    EXPECT_EQ(host.CheckResultServ(ServerResult::success(Variant(7)), true, 0).asInteger(), 7);
    EXPECT_THROW(host.CheckResultServ(ServerResult::failure(3, "Sessão expirada."), true, 0),
                 Abandon);
    EXPECT_EQ(host.Errors(), (std::vector<std::string>{"Sessão expirada."}));
}

TEST_F(HostTest, HourGlassIsRestoredAlsoOnAnException) {
    try {
        HourGlass busy(host);
        EXPECT_EQ(host.ScreenCursor(), crHourGlass);
        throw std::runtime_error("falha");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(host.ScreenCursor(), crDefault);
    EXPECT_EQ(host.Calls(), (std::vector<std::string>{"Cursor(-11)", "Cursor(0)"}));
}

TEST_F(HostTest, ModalFormsRunTheirScriptAndUnscriptedOnesAreAnError) {
    TForm dialog("frmIrParaDia", &host.Presenter());
    auto& ok = dialog.Add<TBitBtn>("bitConfirma");
    ok.SetKind(bkOK);
    int activations = 0;
    dialog.OnActivate = [&] { ++activations; };
    host.OnModal("frmIrParaDia", [](TForm& form) { form.Get<TBitBtn>("bitConfirma").Click(); });
    EXPECT_EQ(dialog.ShowModal(), mrOk);
    EXPECT_EQ(activations, 1);

    TForm other("frmOutro", &host.Presenter());
    EXPECT_THROW(other.ShowModal(), std::logic_error);
    EXPECT_FALSE(other.Modal());
    EXPECT_EQ(host.Calls(),
              (std::vector<std::string>{"ShowModal(frmIrParaDia)", "Close(frmIrParaDia)",
                                        "ShowModal(frmOutro)"}));
}

TEST_F(HostTest, ServedCallsAreAnsweredInProcessAndRecorded) {
    host.ServeWith([](std::string_view method, const std::vector<Variant>& args) {
        return method == "Falha" ? ServerResult::failure(1, "Erro no servidor.")
                                 : ServerResult::success(Variant(static_cast<int>(args.size())));
    });
    TForm form("frmAFazer");
    auto& net = form.Add<TNetConnection>("netLembrete", host);
    host.ActiveShowAvi(1);
    EXPECT_EQ(host.CheckResultServ(net.GetAppServer().call("Conta", {1, 2}), true, 0).asInteger(),
              2);
    EXPECT_THROW(host.CheckResultServ(net.GetAppServer().call("Falha", {}), true, 0), Abandon);
    host.DeactiveShowAvi();
    EXPECT_EQ(host.Calls(),
              (std::vector<std::string>{"ActiveShowAvi(1)", "CreateAppServer(127.0.0.1:8300,)",
                                        "Conta(1,2)", "Falha()",
                                        "CheckResultServ(Erro no servidor.)", "DeactiveShowAvi"}));
}

TEST_F(HostTest, ShowMsgAnswersFromTheQueue) {
    host.AnswerShowMsg(mrNo);
    EXPECT_EQ(host.ShowMsg("Continuar?", mtConfirmation, mbYes | mbNo, 0), mrNo);
    EXPECT_THROW(host.ShowMsg("De novo?", mtConfirmation, mbYes | mbNo, 0), std::logic_error);
}

// A screen on the frame, with a dataset of its own.
struct FrameScreen : TfrmPadraoSimples {
    explicit FrameScreen(ScriptedHost& host) : TfrmPadraoSimples("frmTeste", host) {
        cds.SetData(packet());
    }
    static DataPacket packet() {
        DataPacket data;
        data.fields = {{"NRATIVPESS", FieldType::String, 10, ""}};
        data.rows = {{"1"}, {"2"}};
        return data;
    }
    void sbtAlterarClick() override {
        TfrmPadraoSimples::sbtAlterarClick();
        log.push_back("alterar:" + cds.FieldByName("NRATIVPESS").AsString());
    }
    ClientDataSet& cds = Make<ClientDataSet>("cdsTeste");
    std::vector<std::string> log;
};

std::string enabledButtons(const TfrmPadraoSimples& frame) {
    std::string enabled;
    for (const TSpeedButton* button :
         {&frame.sbtConfirmar, &frame.sbtCancelar, &frame.sbtAlterar, &frame.sbtExcluir,
          &frame.sbtImprimir, &frame.sbtIncluir, &frame.sbtVerificar}) {
        if (button->Enabled()) {
            enabled += (enabled.empty() ? "" : " ") + button->Name().substr(3);
        }
    }
    return enabled;
}

TEST_F(HostTest, FrameButtonsFollowTheStateOfDtsPadrao) {
    auto frame = createForm<FrameScreen>(host);
    EXPECT_EQ(enabledButtons(*frame), "Incluir Verificar");
    frame->dtsPadrao.SetDataSet(&frame->cds);
    EXPECT_EQ(enabledButtons(*frame), "Alterar Excluir Imprimir Incluir Verificar");
    frame->sbtAlterar.Click();
    EXPECT_EQ(frame->log, (std::vector<std::string>{"alterar:1"}));
    EXPECT_EQ(enabledButtons(*frame), "Confirmar Cancelar");
    EXPECT_TRUE(frame->mnuCancelar.Enabled());
    frame->mnuCancelar.Click();
    EXPECT_EQ(enabledButtons(*frame), "Alterar Excluir Imprimir Incluir Verificar");
    frame->cds.SetData(DataPacket{FrameScreen::packet().fields, {}, {}});
    EXPECT_EQ(enabledButtons(*frame), "Incluir Verificar");
    frame->dtsPadrao.SetDataSet(nullptr);
    EXPECT_EQ(enabledButtons(*frame), "Incluir Verificar");
}

TEST_F(HostTest, FrameDeleteAsksAndDeletesTheCurrentRowOnlyOnYes) {
    auto frame = createForm<FrameScreen>(host);
    frame->dtsPadrao.SetDataSet(&frame->cds);
    host.AnswerShowMsg(mrNo);
    host.AnswerShowMsg(mrYes);
    frame->sbtExcluir.Click();
    EXPECT_EQ(frame->cds.RecordCount(), 2);
    frame->sbtExcluir.Click();
    EXPECT_EQ(frame->cds.RecordCount(), 1);
    EXPECT_EQ(frame->cds.FieldByName("NRATIVPESS").AsString(), "2");
    EXPECT_EQ(host.Calls(),
              (std::vector<std::string>{"ShowMsg(Confirma a exclusão do registro?)",
                                        "ShowMsg(Confirma a exclusão do registro?)"}));
}

TEST_F(HostTest, FrameStartsWithItsMenuAndHiddenLabels) {
    auto frame = createForm<FrameScreen>(host);
    EXPECT_EQ(testing::State(*frame, {"lblCodTela", "dbtNome", "mnuManutencao", "mnuConfirmar",
                                      "sbtIncluir", "nada"}),
              "lblCodTela(hidden) dbtNome(hidden) mnuManutencao('Manutenção') "
              "mnuConfirmar(disabled 'Confirmar') sbtIncluir() nada(missing)");
    ASSERT_EQ(frame->mnuMenu.Items().size(), 2u);
    EXPECT_EQ(frame->mnuMenu.Items()[1]->Items()[0], &frame->mnuCancelar);
}

TEST_F(HostTest, FrameCloseReleasesTheForm) {
    auto frame = createForm<FrameScreen>(host);
    frame->Show();
    frame->Close();
    EXPECT_EQ(frame->LastCloseAction(), caFree);
    EXPECT_EQ(host.Calls(), (std::vector<std::string>{"Show(frmTeste)", "Close(frmTeste)"}));
}

}  // namespace
}  // namespace lembrete
