// The client's host services on their own: cursor, wait layer, result checking, the cache
// signal, and the transport that carries the login's session.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMainWindow>
#include <QMdiArea>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTimer>

#include "net/json_rpc_app_server.h"
#include "qt/host/busy_indicator.h"
#include "qt/host/qt_host_services.h"
#include "support/fixed_clock.h"

namespace lembrete::testing {
namespace {

class HostServicesTest : public ::testing::Test {
  protected:
    HostServicesTest()
        : area_(new QMdiArea(&window_)),
          busy_(new BusyIndicator(&window_)),
          services_(ClientSession{"10.1.2.3", 9200, "ANA", "token-da-sessao", {}}, window_, *area_,
                    *busy_, clock_) {
        window_.setCentralWidget(area_);
        window_.show();
    }

    // Answers the next message box with its first button and keeps its text.
    void answerNextMessage() {
        QTimer::singleShot(0, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                shown_ = box->text();
                box->buttons().first()->click();
            }
        });
    }

    FixedClock clock_{DateTime::fromParts({2026, 3, 11}, 9, 0)};
    QMainWindow window_;
    QMdiArea* area_;
    BusyIndicator* busy_;
    QtHostServices services_;
    QString shown_;
};

TEST_F(HostServicesTest, TheLoginGivesOperatorServerAndSessionToEveryTransport) {
    EXPECT_EQ(services_.Operador(), "ANA");
    EXPECT_EQ(services_.WebURL(), "10.1.2.3");
    EXPECT_EQ(services_.WebPort(), 9200);
    EXPECT_EQ(services_.Today(), Date::fromParts(2026, 3, 11));
    auto transport = services_.CreateAppServer("10.1.2.3", 9200, "lmb00300.rdmLembrete");
    auto* rpc = dynamic_cast<JsonRpcAppServer*>(transport.get());
    ASSERT_NE(rpc, nullptr);
    EXPECT_EQ(rpc->token(), "token-da-sessao");
    EXPECT_THROW(services_.Presenter(), std::logic_error);
}

TEST_F(HostServicesTest, TheHourglassAndTheWaitLayerComeAndGo) {
    services_.SetScreenCursor(crHourGlass);
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    services_.SetScreenCursor(crHourGlass);
    services_.SetScreenCursor(crDefault);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    services_.ActiveShowAvi(1);
    EXPECT_TRUE(busy_->isVisible());
    EXPECT_EQ(busy_->geometry(), window_.rect());
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    services_.DeactiveShowAvi();
    EXPECT_FALSE(busy_->isVisible());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    services_.DeactiveShowAvi();  // an extra removal changes nothing
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(HostServicesTest, AFailedResultShowsTheServersMessageAndAbandons) {
    EXPECT_EQ(services_.CheckResultServ(ServerResult::success(Variant(42)), true, 0).asInteger(),
              42);
    answerNextMessage();
    EXPECT_THROW(
        services_.CheckResultServ(ServerResult::failure(1004, "Prioridade inválida."), true, 0),
        Abandon);
    EXPECT_EQ(shown_, "Prioridade inválida.");
}

TEST_F(HostServicesTest, MessagesAnswerWithTheButtonPressed) {
    answerNextMessage();
    EXPECT_EQ(services_.ShowMsg("Deseja cancelar a atividade?", mtConfirmation, mbYes | mbNo, 0),
              mrYes);
    EXPECT_EQ(shown_, "Deseja cancelar a atividade?");
    answerNextMessage();
    EXPECT_THROW(services_.MensErro("Data deve ser informada."), Abandon);
    EXPECT_EQ(shown_, "Data deve ser informada.");
}

TEST_F(HostServicesTest, AChoiceShowsEveryOptionAndCancelAndAnswersWithTheOneClicked) {
    const std::vector<std::string> options = {"Somente este lembrete", "Este e os próximos",
                                              "Todos da série"};
    for (const QString& clicked :
         {QStringLiteral("Este e os próximos"), QStringLiteral("Cancelar")}) {
        QStringList captions;
        QTimer::singleShot(0, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                shown_ = box->text();
                for (QAbstractButton* button : box->buttons()) {
                    captions << button->text();
                }
                for (QAbstractButton* button : box->buttons()) {
                    if (button->text() == clicked) {
                        button->click();
                    }
                }
            }
        });
        const int chosen = services_.ChooseOption("Aplicar a:", options);
        EXPECT_EQ(shown_, "Aplicar a:");
        captions.sort();
        EXPECT_EQ(captions, (QStringList{"Cancelar", "Este e os próximos", "Somente este lembrete",
                                         "Todos da série"}));
        EXPECT_EQ(chosen, clicked == "Cancelar" ? HostServices::kOptionCancelled : 1);
    }
}

TEST_F(HostServicesTest, TheCacheRefreshIsASignal) {
    QSignalSpy refreshed(&services_, &QtHostServices::cacheRefreshed);
    services_.AtualizaLocalCache({"ATIVPESSOAL"});
    ASSERT_EQ(refreshed.count(), 1);
    EXPECT_EQ(refreshed.at(0).at(0).toStringList(), QStringList{"ATIVPESSOAL"});
}

}  // namespace
}  // namespace lembrete::testing
