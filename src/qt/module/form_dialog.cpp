#include "qt/module/form_dialog.h"

#include <QCloseEvent>
#include <QVBoxLayout>

namespace lembrete {

FormDialog::FormDialog(QWidget& content, QWidget* parent, std::function<void()> cancel)
    : QDialog(parent), cancel_(std::move(cancel)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(&content);
    setSizeGripEnabled(false);
}

void FormDialog::reject() {
    // The form's cancel ends the dialog through the presenter (done()), or leaves it open.
    if (!closing_) {
        closing_ = true;
        cancel_();
        closing_ = false;
    }
}

void FormDialog::closeEvent(QCloseEvent* event) {
    event->ignore();
    reject();
}

}  // namespace lembrete
