// FormDialog: the window of a form shown modally. Closing it (Esc, the title bar's close
// button) does not close it directly: it becomes the form's own cancel, so that the form's
// handlers decide: the click of its cancel button when it has one (a button whose modal result
// is mrCancel), else TForm::Close. The presenter ends the dialog when the form closes.
#pragma once

#include <QDialog>
#include <functional>

namespace lembrete {

class FormDialog : public QDialog {
    Q_OBJECT

  public:
    // `cancel` runs when the user asks to close the dialog.
    FormDialog(QWidget& content, QWidget* parent, std::function<void()> cancel);

    void reject() override;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    std::function<void()> cancel_;
    bool closing_ = false;
};

}  // namespace lembrete
