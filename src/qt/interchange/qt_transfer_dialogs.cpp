#include "qt/interchange/qt_transfer_dialogs.h"

#include <QCheckBox>
#include <QClipboard>
#include <QDateEdit>
#include <QDialog>
#include <QFileDialog>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "data/supported_dates.h"
#include "qt/help/help_key.h"
#include "qt/module/qt_convert.h"

namespace lembrete {
namespace {

const QString kCalendarFiles = QStringLiteral("Calendários iCalendar (*.ics)");
const QString kAllFiles = QStringLiteral("Todos os arquivos (*)");

QPushButton* button(const char* name, const QString& text, QWidget* parent) {
    auto* made = new QPushButton(text, parent);
    made->setObjectName(QString::fromLatin1(name));
    return made;
}

QDateEdit* dateBox(const char* name, Date day, QWidget* parent) {
    auto* box = new QDateEdit(toQDate(day), parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setCalendarPopup(true);
    box->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    box->setDateRange(toQDate(kFirstSupportedDate), toQDate(kLastSupportedDate));
    return box;
}

// The row of the dialog's answers at the bottom of `layout`: the button that accepts (returned)
// and "Cancelar" (btnCancelar).
QPushButton* addAnswers(QDialog& dialog, QVBoxLayout& layout, const char* name,
                        const QString& text) {
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    auto* accept = button(name, text, &dialog);
    auto* cancel = button("btnCancelar", QStringLiteral("Cancelar"), &dialog);
    buttons->addWidget(accept);
    buttons->addWidget(cancel);
    layout.addLayout(buttons);
    QObject::connect(accept, &QPushButton::clicked, &dialog, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
    return accept;
}

std::optional<std::string> chosenFile(QFileDialog& dialog) {
    dialog.setObjectName(QStringLiteral("dlgArquivo"));
    dialog.setNameFilters({kCalendarFiles, kAllFiles});
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().front().toStdString();
}

class QtProgress : public TransferProgress {
  public:
    QtProgress(QWidget* parent, const std::string& caption, std::size_t total)
        : dialog_(toQString(caption), QStringLiteral("Cancelar"), 0, static_cast<int>(total),
                  parent) {
        dialog_.setObjectName(QStringLiteral("prgImportar"));
        dialog_.setWindowTitle(QStringLiteral("Importar lembretes"));
        dialog_.setWindowModality(Qt::WindowModal);
        dialog_.setAutoClose(false);
        dialog_.setAutoReset(false);
        // Shown at once: the steps come every few hundred reminders, and only a long file has
        // more than one.
        dialog_.setMinimumDuration(0);
        dialog_.setValue(0);
    }

    bool Step(std::size_t done, std::size_t) override {
        dialog_.setValue(static_cast<int>(done));
        return !dialog_.wasCanceled();
    }

  private:
    QProgressDialog dialog_;
};

}  // namespace

std::optional<ExportChoice> QtTransferDialogs::ChooseExport(std::size_t listed,
                                                            const ExportChoice& suggested) {
    QDialog dialog(parent_());
    dialog.setObjectName(QStringLiteral("frmExportar"));
    addHelpKey(dialog, help_);
    dialog.setWindowTitle(QStringLiteral("Exportar lembretes"));
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel(QStringLiteral("Exportar para um arquivo iCalendar (.ics):")));
    auto* listedChoice = new QRadioButton(
        QStringLiteral("Os lembretes listados agora (%1)").arg(static_cast<qulonglong>(listed)));
    listedChoice->setObjectName(QStringLiteral("rdbListados"));
    listedChoice->setEnabled(listed > 0);
    auto* rangeChoice = new QRadioButton(QStringLiteral("Os lembretes do período de"));
    rangeChoice->setObjectName(QStringLiteral("rdbPeriodo"));
    auto* from = dateBox("depInicio", suggested.from, &dialog);
    auto* to = dateBox("depFim", suggested.to, &dialog);
    auto* allChoice = new QRadioButton(QStringLiteral("Todos os lembretes"));
    allChoice->setObjectName(QStringLiteral("rdbTodos"));
    layout->addWidget(listedChoice);
    auto* range = new QHBoxLayout;
    range->addWidget(rangeChoice);
    range->addWidget(from);
    range->addWidget(new QLabel(QStringLiteral("a")));
    range->addWidget(to);
    range->addStretch();
    layout->addLayout(range);
    layout->addWidget(allChoice);
    const auto rangeDates = [=] {
        from->setEnabled(rangeChoice->isChecked());
        to->setEnabled(rangeChoice->isChecked());
    };
    QObject::connect(rangeChoice, &QRadioButton::toggled, &dialog, rangeDates);
    switch (listed == 0 && suggested.scope == ExportChoice::Scope::Listed ? ExportChoice::Scope::All
                                                                          : suggested.scope) {
        case ExportChoice::Scope::Listed:
            listedChoice->setChecked(true);
            break;
        case ExportChoice::Scope::Range:
            rangeChoice->setChecked(true);
            break;
        case ExportChoice::Scope::All:
            allChoice->setChecked(true);
            break;
    }
    rangeDates();
    QPushButton* accept = addAnswers(dialog, *layout, "btnExportar", QStringLiteral("Exportar…"));
    accept->setDefault(true);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    ExportChoice choice;
    choice.scope = listedChoice->isChecked()  ? ExportChoice::Scope::Listed
                   : rangeChoice->isChecked() ? ExportChoice::Scope::Range
                                              : ExportChoice::Scope::All;
    choice.from = fromQDate(from->date());
    choice.to = fromQDate(to->date());
    return choice;
}

std::optional<std::string> QtTransferDialogs::SaveFilePath(const std::string& suggestedName) {
    QFileDialog dialog(parent_(), QStringLiteral("Exportar lembretes"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QStringLiteral("ics"));
    dialog.selectFile(toQString(suggestedName));
    return chosenFile(dialog);
}

std::optional<std::string> QtTransferDialogs::OpenFilePath() {
    QFileDialog dialog(parent_(), QStringLiteral("Importar lembretes"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    return chosenFile(dialog);
}

std::optional<bool> QtTransferDialogs::ConfirmImport(const ImportPreview& keeping,
                                                     const ImportPreview& cutting) {
    QDialog dialog(parent_());
    dialog.setObjectName(QStringLiteral("frmImportar"));
    addHelpKey(dialog, help_);
    dialog.setWindowTitle(QStringLiteral("Importar lembretes"));
    dialog.resize(560, 360);
    auto* layout = new QVBoxLayout(&dialog);
    auto* text = new QPlainTextEdit(&dialog);
    text->setObjectName(QStringLiteral("memPrevia"));
    text->setReadOnly(true);
    layout->addWidget(text);
    auto* cut =
        new QCheckBox(QStringLiteral("Cortar as referências com mais de 100 caracteres?"), &dialog);
    cut->setObjectName(QStringLiteral("chbCortar"));
    cut->setVisible(keeping.longReferences > 0);
    layout->addWidget(cut);
    QPushButton* accept = addAnswers(dialog, *layout, "btnImportar", QStringLiteral("Importar"));
    const auto show = [&, text, cut, accept] {
        const ImportPreview& shown = cut->isChecked() ? cutting : keeping;
        text->setPlainText(toQString(shown.text()));
        accept->setEnabled(shown.toAdd + shown.toUpdate > 0);
    };
    show();
    QObject::connect(cut, &QCheckBox::toggled, &dialog, show);
    dialog.findChild<QPushButton*>(QStringLiteral("btnCancelar"))->setDefault(true);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return cut->isChecked();
}

std::unique_ptr<TransferProgress> QtTransferDialogs::ShowProgress(const std::string& caption,
                                                                  std::size_t total) {
    return std::make_unique<QtProgress>(parent_(), caption, total);
}

void QtTransferDialogs::ShowFeedAddress(const std::string& address, const Renewal& renew) {
    QDialog dialog(parent_());
    dialog.setObjectName(QStringLiteral("frmCalendario"));
    addHelpKey(dialog, help_);
    dialog.setWindowTitle(QStringLiteral("Endereço do calendário"));
    dialog.resize(620, 160);
    auto* layout = new QVBoxLayout(&dialog);
    auto* about = new QLabel(
        QStringLiteral("Assine este endereço num telefone ou noutro programa de calendário para "
                       "ver os seus lembretes, de 90 dias atrás em diante. Quem tiver o endereço "
                       "vê os seus lembretes: guarde-o como uma senha."),
        &dialog);
    about->setWordWrap(true);
    layout->addWidget(about);
    auto* shown = new QLineEdit(toQString(address), &dialog);
    shown->setObjectName(QStringLiteral("edtEndereco"));
    shown->setReadOnly(true);
    shown->setPlaceholderText(QStringLiteral("Nenhum endereço gerado ainda."));
    layout->addWidget(shown);
    auto* buttons = new QHBoxLayout;
    auto* copy = button("btnCopiar", QStringLiteral("Copiar"), &dialog);
    auto* renewal = button("btnRenovar", QString(), &dialog);
    auto* close = button("btnFechar", QStringLiteral("Fechar"), &dialog);
    buttons->addWidget(copy);
    buttons->addWidget(renewal);
    buttons->addStretch();
    buttons->addWidget(close);
    layout->addLayout(buttons);
    const auto refresh = [shown, copy, renewal] {
        const bool none = shown->text().isEmpty();
        copy->setEnabled(!none);
        renewal->setText(none ? QStringLiteral("Gerar endereço") : QStringLiteral("Renovar"));
    };
    refresh();
    QObject::connect(copy, &QPushButton::clicked, &dialog,
                     [shown] { QGuiApplication::clipboard()->setText(shown->text()); });
    QObject::connect(renewal, &QPushButton::clicked, &dialog, [&renew, shown, refresh] {
        if (const auto renewed = renew()) {
            shown->setText(toQString(*renewed));
            refresh();
        }
    });
    QObject::connect(close, &QPushButton::clicked, &dialog, &QDialog::accept);
    close->setDefault(true);
    dialog.exec();
}

}  // namespace lembrete
