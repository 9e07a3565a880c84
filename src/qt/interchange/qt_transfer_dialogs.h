// QtTransferDialogs: the dialogs of the agenda's calendar-file items on real widgets.
//
//   frmExportar    which reminders: rdbListados (those listed now), rdbPeriodo with depInicio
//                  and depFim, rdbTodos; "Exportar…" goes on to the file dialog
//   dlgArquivo     the system's file dialog (save as .ics, or open)
//   frmImportar    the preview (memPrevia), the question chbCortar when references are too
//                  long, btnImportar (off when nothing would be imported) and btnCancelar
//   prgImportar    the progress bar of a long import, with "Cancelar"
//   frmCalendario  the feed's address (edtEndereco), btnCopiar (to the clipboard), btnRenovar
//                  ("Gerar endereço" while there is none) and btnFechar
//
// Every dialog is modal over `parent()`'s window, which the caller supplies and which may be
// null; F1 in the export, import and address dialogs runs `help()` (the guide's section on
// calendar files). User-interface thread only.
#pragma once

#include <QWidget>
#include <functional>

#include "interchange/transfer_dialogs.h"

namespace lembrete {

class QtTransferDialogs : public TransferDialogs {
  public:
    using ParentSource = std::function<QWidget*()>;
    using Help = std::function<void()>;
    QtTransferDialogs(ParentSource parent, Help help)
        : parent_(std::move(parent)), help_(std::move(help)) {}

    std::optional<ExportChoice> ChooseExport(std::size_t listed,
                                             const ExportChoice& suggested) override;
    std::optional<std::string> SaveFilePath(const std::string& suggestedName) override;
    std::optional<std::string> OpenFilePath() override;
    std::optional<bool> ConfirmImport(const ImportPreview& keeping,
                                      const ImportPreview& cutting) override;
    std::unique_ptr<TransferProgress> ShowProgress(const std::string& caption,
                                                   std::size_t total) override;
    void ShowFeedAddress(const std::string& address, const Renewal& renew) override;

  private:
    ParentSource parent_;
    Help help_;
};

}  // namespace lembrete
