#include "qt/print/day_range_dialog.h"

#include <QDateEdit>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPushButton>

#include "qt/help/help_key.h"

namespace lembrete {
namespace {

QDateEdit* dayBox(const char* name, QDate day, QWidget& parent) {
    auto* box = new QDateEdit(day, &parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    box->setCalendarPopup(true);
    return box;
}

}  // namespace

bool askDayRange(QWidget* parent, const QString& caption, QDate& first, QDate& last,
                 const std::function<void()>& help) {
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("dlgPeriodo"));
    addHelpKey(dialog, help);
    dialog.setWindowTitle(caption);
    auto* form = new QFormLayout(&dialog);
    QDateEdit* from = dayBox("dtpDe", first, dialog);
    QDateEdit* to = dayBox("dtpAte", last, dialog);
    form->addRow(QStringLiteral("&De:"), from);
    form->addRow(QStringLiteral("&Até:"), to);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Cancelar"));
    form->addRow(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    first = from->date();
    last = to->date();
    return true;
}

}  // namespace lembrete
