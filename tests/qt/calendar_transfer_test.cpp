// The agenda's calendar-file items on real widgets against a real server: "Exportar…" (the
// reminders listed now, a range, all), "Importar…" (file dialog, preview with the question of
// long references, report, the list reloaded), files that are not calendars, and the feed's
// address with "Copiar" and its renewal.
#include <QCheckBox>
#include <QClipboard>
#include <QDateEdit>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <filesystem>
#include <fstream>

#include "client_fixture.h"
#include "support/reminder_deltas.h"

namespace lembrete::testing {
namespace {

class CalendarTransferTest : public ClientFixture {
  protected:
    void SetUp() override {
        ClientFixture::SetUp();
        folder_ = std::filesystem::temp_directory_path() /
                  ("lembrete-ical-" + std::to_string(server_->port()));
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override {
        ClientFixture::TearDown();
        std::filesystem::remove_all(folder_);
    }

    std::string path(const std::string& name) const { return (folder_ / name).string(); }

    // Runs `script` on the modal dialog named `name` once it is the active one.
    template <class T = QDialog>
    std::shared_ptr<bool> whenNamed(const QString& name,
                                    std::type_identity_t<std::function<void(T&)>> script) {
        auto ran = std::make_shared<bool>(false);
        auto* timer = new QTimer(scripts_.get());
        timer->setInterval(5);
        QObject::connect(timer, &QTimer::timeout, [timer, ran, name, script] {
            auto* modal = qobject_cast<T*>(QApplication::activeModalWidget());
            if (modal != nullptr && modal->isVisible() && modal->objectName() == name) {
                timer->stop();
                timer->deleteLater();
                *ran = true;
                script(*modal);
            }
        });
        timer->start();
        return ran;
    }

    // The file dialog answered with `file`.
    std::shared_ptr<bool> chooseFile(const std::string& file) {
        return whenNamed<QFileDialog>("dlgArquivo", [file](QFileDialog& dialog) {
            dialog.selectFile(QString::fromStdString(file));
            QMetaObject::invokeMethod(&dialog, "accept");
        });
    }

    void trigger(const char* action) {
        QAction* item = agendaWindow()->findChild<QAction*>(action);
        ASSERT_NE(item, nullptr) << action;
        item->trigger();
    }

    void seed(const std::string& reference, DateTime when) {
        const auto number = callServer("GetPrxAtivPessoal", {std::string(kOperator)});
        const auto stored =
            callServer("SetAfazer", {Variant(reminderDelta({insertOf(reminderRow(ReminderValues(
                                        kOperator, number.payload.toText(), reference, when)))}))});
        ASSERT_TRUE(stored.ok());
    }

    // Exports with the choice made by `choose` into `file`; returns the report's text.
    QString exportWith(const std::function<void(QDialog&)>& choose, const std::string& file) {
        QString report;
        auto chose = whenNamed("frmExportar", [&](QDialog& dialog) {
            choose(dialog);
            chooseFile(file);
            answerMessageBox("OK", &report);
            clickButton(dialog.findChild<QPushButton*>("btnExportar"));
        });
        trigger("mnuExportar");
        EXPECT_TRUE(*chose);
        return report;
    }

    static std::string contents(const std::string& file) {
        std::ifstream in(file, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    static int events(const std::string& text) {
        int count = 0;
        for (auto at = text.find("BEGIN:VEVENT"); at != std::string::npos;
             at = text.find("BEGIN:VEVENT", at + 1)) {
            ++count;
        }
        return count;
    }

    std::filesystem::path folder_;
};

TEST_F(CalendarTransferTest, TheItemsSitInMenuOperacao) {
    QStringList captions;
    for (QAction* item : agenda<QMenu>("mnuOperacao")->actions()) {
        if (item->isVisible()) {
            // Without the mnemonic's marker.
            captions << item->text().remove(QLatin1Char('&'));
        }
    }
    EXPECT_TRUE(captions.contains("Exportar…")) << captions.join("|").toStdString();
    EXPECT_TRUE(captions.contains("Importar…"));
    EXPECT_TRUE(captions.contains("Endereço do calendário…"));
}

TEST_F(CalendarTransferTest, ExportsTheListedRemindersARangeOrAll) {
    seed("Reunião", DateTime::fromParts({2026, 3, 11}, 9, 0));
    seed("Dentista", DateTime::fromParts({2026, 3, 11}, 14, 0));
    seed("Viagem", DateTime::fromParts({2026, 4, 20}, 8, 0));
    seed("Antigo", DateTime::fromParts({2025, 1, 2}, 8, 0));
    // Away and back again: the list reads what was stored meanwhile.
    clickDay(*agenda<QCalendarWidget>("dbcAFazer"), QDate(2026, 3, 12));
    clickDay(*agenda<QCalendarWidget>("dbcAFazer"), QDate(2026, 3, 11));
    ASSERT_EQ(gridRows(), 2);

    const std::string listed = path("listados.ics");
    const QString report = exportWith(
        [](QDialog& dialog) {
            auto* choice = dialog.findChild<QRadioButton*>("rdbListados");
            EXPECT_EQ(choice->text(), "Os lembretes listados agora (2)");
            EXPECT_TRUE(choice->isChecked());
            EXPECT_FALSE(dialog.findChild<QDateEdit*>("depInicio")->isEnabled());
        },
        listed);
    EXPECT_EQ(report, QString::fromStdString("2 lembretes exportados para " + listed + "."));
    const std::string text = contents(listed);
    EXPECT_EQ(events(text), 2);
    EXPECT_NE(text.find("SUMMARY:Reunião"), std::string::npos);
    EXPECT_EQ(text.find("SUMMARY:Viagem"), std::string::npos);

    const std::string range = path("periodo.ics");
    exportWith(
        [](QDialog& dialog) {
            dialog.findChild<QRadioButton*>("rdbPeriodo")->click();
            dialog.findChild<QDateEdit*>("depInicio")->setDate(QDate(2026, 3, 12));
            dialog.findChild<QDateEdit*>("depFim")->setDate(QDate(2026, 4, 30));
        },
        range);
    EXPECT_EQ(events(contents(range)), 1);
    EXPECT_NE(contents(range).find("SUMMARY:Viagem"), std::string::npos);

    const std::string all = path("todos");
    exportWith([](QDialog& dialog) { dialog.findChild<QRadioButton*>("rdbTodos")->click(); }, all);
    // The file dialog adds the calendar suffix.
    EXPECT_EQ(events(contents(all + ".ics")), 4);

    // A range that ends before it starts writes nothing.
    const std::string reversed = path("invertido.ics");
    QString refusal;
    auto chose = whenNamed("frmExportar", [&](QDialog& dialog) {
        dialog.findChild<QRadioButton*>("rdbPeriodo")->click();
        dialog.findChild<QDateEdit*>("depInicio")->setDate(QDate(2026, 3, 12));
        dialog.findChild<QDateEdit*>("depFim")->setDate(QDate(2026, 3, 1));
        answerMessageBox("OK", &refusal);
        clickButton(dialog.findChild<QPushButton*>("btnExportar"));
    });
    trigger("mnuExportar");
    EXPECT_TRUE(*chose);
    EXPECT_EQ(refusal, "A data final do período (01/03/2026) é anterior à inicial (12/03/2026).");
    EXPECT_FALSE(std::filesystem::exists(reversed));
}

TEST_F(CalendarTransferTest, ImportsAfterThePreviewAndReloadsTheAgenda) {
    const std::string file = path("entrada.ics");
    std::ofstream(file, std::ios::binary)
        << "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:x\r\n"
           "BEGIN:VEVENT\r\nUID:a@x\r\nDTSTAMP:20250101T000000Z\r\nDTSTART:20260311T080000\r\n"
           "SUMMARY:Café\r\nEND:VEVENT\r\n"
           "BEGIN:VEVENT\r\nUID:b@x\r\nDTSTAMP:20250101T000000Z\r\nDTSTART:20260311T090000\r\n"
           "SUMMARY:"
        << std::string(120, 'L')
        << "\r\nEND:VEVENT\r\n"
           "BEGIN:VEVENT\r\nUID:c@x\r\nDTSTAMP:20250101T000000Z\r\nDTSTART:20260311T100000\r\n"
           "RRULE:FREQ=DAILY;COUNT=2\r\nSUMMARY:Aula\r\nEND:VEVENT\r\n"
           "BEGIN:VEVENT\r\nUID:d@x\r\nDTSTAMP:20250101T000000Z\r\nDTSTART:19990311T100000\r\n"
           "SUMMARY:Velho\r\nEND:VEVENT\r\n"
           "END:VCALENDAR\r\n";
    QString previewKeeping;
    QString previewCutting;
    QString report;
    auto opened = chooseFile(file);
    auto previewed = whenNamed("frmImportar", [&](QDialog& dialog) {
        auto* text = dialog.findChild<QPlainTextEdit*>("memPrevia");
        auto* cut = dialog.findChild<QCheckBox*>("chbCortar");
        EXPECT_TRUE(cut->isVisible());
        previewKeeping = text->toPlainText();
        cut->click();
        previewCutting = text->toPlainText();
        answerMessageBox("OK", &report);
        clickButton(dialog.findChild<QPushButton*>("btnImportar"));
    });
    trigger("mnuImportar");
    ASSERT_TRUE(*opened && *previewed);
    EXPECT_TRUE(
        previewKeeping.startsWith("3 lembretes serão importados.\n"
                                  "Período: de 11/03/2026 a 12/03/2026.\n"
                                  "1 referência passa de 100 caracteres.\n"
                                  "2 serão recusados:"))
        << previewKeeping.toStdString();
    EXPECT_TRUE(previewCutting.startsWith("4 lembretes serão importados."))
        << previewCutting.toStdString();
    EXPECT_EQ(report, "4 lembretes importados, 1 recusado.");
    EXPECT_EQ(serverList(Date::fromParts(2000, 1, 1)).rows.size(), 4u);
    // The agenda on today lists today's three at once.
    EXPECT_EQ(gridRows(), 3);
    EXPECT_EQ(cell(1, 4), QString(100, 'L'));

    // Cancelled at the preview: nothing changes.
    auto again = chooseFile(file);
    auto cancelled = whenNamed("frmImportar", [](QDialog& dialog) {
        clickButton(dialog.findChild<QPushButton*>("btnCancelar"));
    });
    trigger("mnuImportar");
    EXPECT_TRUE(*again && *cancelled);
    EXPECT_EQ(serverList(Date::fromParts(2000, 1, 1)).rows.size(), 4u);
}

TEST_F(CalendarTransferTest, AFileThatIsNoCalendarIsRefusedWithNothingWritten) {
    const struct {
        const char* name;
        std::string bytes;
        std::uintmax_t size;  // made this large (sparse) instead, when not 0
        QString message;
    } files[] = {
        {"vazio.ics", "", 0, "O arquivo está vazio. Nada foi importado."},
        {"imagem.ics", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), 0,
         "O arquivo não é um texto iCalendar (.ics): parece ser um arquivo binário. Nada foi "
         "importado."},
        {"texto.ics", "Lista de compras\n", 0,
         "O arquivo não é um calendário iCalendar (.ics): ele deve começar com BEGIN:VCALENDAR. "
         "Nada foi importado."},
        {"cortado.ics", "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nBEGIN:VEVENT\r\nUID:a\r\n", 0,
         "O arquivo iCalendar está incompleto ou corrompido: falta o END:VCALENDAR final. Nada "
         "foi importado."},
        {"grande.ics", "", 50u << 20,
         "O arquivo tem 50 MB; o limite para importar é de 20 MB. Divida-o em arquivos menores. "
         "Nada foi importado."},
    };
    for (const auto& one : files) {
        const std::string file = path(one.name);
        std::ofstream(file, std::ios::binary) << one.bytes;
        if (one.size > 0) {
            std::filesystem::resize_file(file, one.size);
        }
        QString message;
        auto opened = chooseFile(file);
        answerMessageBox("OK", &message);
        trigger("mnuImportar");
        EXPECT_TRUE(*opened) << one.name;
        EXPECT_EQ(message, one.message) << one.name;
    }
    EXPECT_TRUE(serverList(Date::fromParts(2000, 1, 1)).rows.empty());
}

TEST_F(CalendarTransferTest, ShowsCopiesAndRenewsTheFeedAddress) {
    const QString prefix = QStringLiteral("http://127.0.0.1:%1/calendario/").arg(server_->port());
    QString first;
    QString second;
    QString confirmation;
    auto shown = whenNamed("frmCalendario", [&](QDialog& dialog) {
        auto* address = dialog.findChild<QLineEdit*>("edtEndereco");
        auto* copy = dialog.findChild<QPushButton*>("btnCopiar");
        auto* renew = dialog.findChild<QPushButton*>("btnRenovar");
        EXPECT_EQ(address->text(), "");
        EXPECT_FALSE(copy->isEnabled());
        EXPECT_EQ(renew->text(), "Gerar endereço");
        clickButton(renew);
        first = address->text();
        EXPECT_TRUE(copy->isEnabled());
        EXPECT_EQ(renew->text(), "Renovar");
        clickButton(copy);
        EXPECT_EQ(QGuiApplication::clipboard()->text(), first);
        answerMessageBox("&Sim", &confirmation);
        clickButton(renew);
        second = address->text();
        clickButton(dialog.findChild<QPushButton*>("btnFechar"));
    });
    trigger("mnuCalendario");
    ASSERT_TRUE(*shown);
    EXPECT_TRUE(first.startsWith(prefix) && first.endsWith(".ics")) << first.toStdString();
    EXPECT_TRUE(second.startsWith(prefix)) << second.toStdString();
    EXPECT_NE(second, first);
    EXPECT_TRUE(confirmation.startsWith("O endereço atual deixará de funcionar"));
    const auto stored = callServer("GetCalendarioAFazer", {std::string(kOperator)});
    EXPECT_EQ(prefix.left(prefix.size() - 12) + QString::fromStdString(stored.payload.toText()),
              second);

    // Opened again, it shows the same address.
    QString again;
    auto reopened = whenNamed("frmCalendario", [&](QDialog& dialog) {
        again = dialog.findChild<QLineEdit*>("edtEndereco")->text();
        dialog.accept();
    });
    trigger("mnuCalendario");
    EXPECT_TRUE(*reopened);
    EXPECT_EQ(again, second);
}

}  // namespace
}  // namespace lembrete::testing
