// FormPresenter: how a headless form reaches the screen.
//
// The host implements it: the desktop client shows a real window or modal dialog, the test
// host runs a script while a form is "modal". The presenter calls TForm::Activate when the
// window becomes the active one (each time, as the user switches windows) and ends a modal
// run when CloseForm is called or the form's ModalResult is set.
#pragma once

namespace lembrete {

class TForm;

class FormPresenter {
  public:
    virtual ~FormPresenter() = default;
    virtual void ShowForm(TForm& form) = 0;
    // Returns once the form has been closed.
    virtual void ShowFormModal(TForm& form) = 0;
    virtual void CloseForm(TForm& form) = 0;
};

}  // namespace lembrete
