// Form ownership, lookup, modal runs and closing.
#include "toolkit/form.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "toolkit/bit_button.h"
#include "toolkit/menu_item.h"
#include "toolkit/panel.h"

namespace lembrete {
namespace {

// Runs `script` while a form is modal, the way the host's dialog loop would run the user.
struct ScriptPresenter : FormPresenter {
    std::function<void(TForm&)> script;
    std::vector<std::string> calls;
    void ShowForm(TForm& form) override {
        calls.push_back("Show(" + form.Name() + ")");
        form.Activate();
    }
    void ShowFormModal(TForm& form) override {
        calls.push_back("ShowModal(" + form.Name() + ")");
        form.Activate();
        if (script) {
            script(form);
        }
    }
    void CloseForm(TForm& form) override { calls.push_back("Close(" + form.Name() + ")"); }
};

struct Dialog : TForm {
    explicit Dialog(FormPresenter* presenter) : TForm("frmDialogo", presenter) {
        bitConfirma.SetKind(bkOK);
        bitCancela.SetKind(bkCancel);
        OnActivate = [this] { ++activations; };
        OnClose = [this](TCloseAction& action) {
            ++closes;
            action = closeAction;
        };
    }
    TBitBtn& bitConfirma = Add<TBitBtn>("bitConfirma");
    TBitBtn& bitCancela = Add<TBitBtn>("bitCancela");
    TPanel& panTopo = Add<TPanel>("panTopo");
    int activations = 0;
    int closes = 0;
    TCloseAction closeAction = caHide;
};

TEST(FormTest, OwnsFindsAndIteratesItsComponents) {
    Dialog dialog(nullptr);
    EXPECT_EQ(&dialog.Get<TPanel>("panTopo"), &dialog.panTopo);
    EXPECT_EQ(dialog.FindComponent("nada"), nullptr);
    EXPECT_THROW(dialog.Get<TPanel>("bitConfirma"), std::out_of_range);
    EXPECT_THROW(dialog.Add<TPanel>("panTopo"), std::logic_error);
    std::vector<std::string> names;
    for (Component* component : dialog.Components()) {
        names.push_back(component->Name());
    }
    EXPECT_EQ(names,
              (std::vector<std::string>{"lblCodTela", "bitConfirma", "bitCancela", "panTopo"}));
    EXPECT_FALSE(dialog.lblCodTela.Visible());
    EXPECT_EQ(dialog.bitCancela.Caption(), "Cancelar");
}

TEST(FormTest, ModalButtonClosesWithItsResult) {
    ScriptPresenter presenter;
    Dialog dialog(&presenter);
    presenter.script = [](TForm& form) { form.Get<TBitBtn>("bitConfirma").Click(); };
    EXPECT_EQ(dialog.ShowModal(), mrOk);
    EXPECT_FALSE(dialog.Visible());
    EXPECT_EQ(dialog.activations, 1);
    EXPECT_EQ(dialog.closes, 1);
    EXPECT_EQ(presenter.calls,
              (std::vector<std::string>{"ShowModal(frmDialogo)", "Close(frmDialogo)"}));
}

TEST(FormTest, AnAbandonedConfirmationLeavesTheDialogOpen) {
    ScriptPresenter presenter;
    Dialog dialog(&presenter);
    int attempts = 0;
    dialog.bitConfirma.SetModalResult(mrNone);
    dialog.bitConfirma.OnClick = [&] {
        if (++attempts == 1) {
            throw Abandon();  // an input error was shown
        }
        dialog.SetModalResult(mrOk);
    };
    presenter.script = [&](TForm&) {
        dialog.bitConfirma.Click();
        EXPECT_TRUE(dialog.Visible());
        EXPECT_EQ(dialog.ModalResult(), mrNone);
        dialog.bitConfirma.Click();
    };
    EXPECT_EQ(dialog.ShowModal(), mrOk);
    EXPECT_EQ(attempts, 2);
}

TEST(FormTest, AnAbandonInsideADialogOpenedByAnEventEndsOnlyTheDialogsAction) {
    ScriptPresenter presenter;
    Dialog owner(&presenter);
    Dialog dialog(&presenter);
    dialog.bitConfirma.SetModalResult(mrNone);
    int attempts = 0;
    dialog.bitConfirma.OnClick = [&] {
        if (++attempts == 1) {
            throw Abandon();
        }
        dialog.SetModalResult(mrOk);
    };
    presenter.script = [&](TForm& shown) {
        if (&shown == &dialog) {
            dialog.bitConfirma.Click();  // abandoned: the dialog stays open
            EXPECT_TRUE(dialog.Visible());
            dialog.bitConfirma.Click();
        }
    };
    std::vector<std::string> log;
    owner.panTopo.OnClick = [&] {
        log.push_back(dialog.ShowModal() == mrOk ? "ok" : "cancel");
        EXPECT_TRUE(EventBoundary::insideEvent());
        log.push_back("after dialog");
    };
    owner.panTopo.Click();
    EXPECT_EQ(log, (std::vector<std::string>{"ok", "after dialog"}));
    EXPECT_EQ(attempts, 2);
}

TEST(FormTest, CloseActionNoneKeepsTheFormAndScriptEndingWithoutCloseCancels) {
    ScriptPresenter presenter;
    Dialog dialog(&presenter);
    dialog.closeAction = caNone;
    presenter.script = [](TForm& form) { form.Close(); };
    EXPECT_EQ(dialog.ShowModal(), mrCancel);
    EXPECT_EQ(dialog.closes, 1);
    EXPECT_FALSE(dialog.Modal());

    dialog.closeAction = caFree;
    presenter.script = [](TForm& form) { form.Get<TBitBtn>("bitCancela").Click(); };
    EXPECT_EQ(dialog.ShowModal(), mrCancel);
    EXPECT_EQ(dialog.LastCloseAction(), caFree);
}

TEST(FormTest, ShortCutClicksTheEnabledItemEvenWhenHidden) {
    Dialog dialog(nullptr);
    auto& hoje = dialog.Add<TMenuItem>("Hoje1");
    hoje.SetShortCut("Ctrl+H");
    hoje.SetVisible(false);
    int clicks = 0;
    hoje.OnClick = [&] { ++clicks; };
    EXPECT_TRUE(dialog.PressShortCut("ctrl+h"));
    hoje.SetEnabled(false);
    EXPECT_FALSE(dialog.PressShortCut("Ctrl+H"));
    EXPECT_EQ(clicks, 1);
}

TEST(FormTest, AnAbandonedCreationIsReportedOrPassesToTheOuterEvent) {
    Dialog dialog(nullptr);
    dialog.OnCreate = [] { throw Abandon(); };
    EXPECT_FALSE(dialog.Create());
    bool shown = false;
    dialog.bitConfirma.OnClick = [&] {
        dialog.Create();
        shown = true;  // not reached: the opening is interrupted
    };
    dialog.bitConfirma.Click();
    EXPECT_FALSE(shown);
}

TEST(FormTest, ShowWithoutPresenterIsAClearError) {
    Dialog dialog(nullptr);
    EXPECT_THROW(dialog.Show(), std::logic_error);
}

}  // namespace
}  // namespace lembrete
