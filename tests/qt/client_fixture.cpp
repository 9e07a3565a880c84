#include "client_fixture.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QDir>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QStyleOptionTitleBar>
#include <QTabWidget>
#include <QTextEdit>
#include <variant>

#include "net/json_rpc_app_server.h"
#include "qt/host/server_login.h"
#include "support/reminder_deltas.h"

namespace lembrete::testing {

QString screenshotFolder() {
    const QByteArray chosen = qgetenv("LEMBRETE_SCREENSHOTS");
    const QString folder =
        chosen.isEmpty() ? QStringLiteral(LEMBRETE_SCREENSHOT_DIR) : QString::fromLocal8Bit(chosen);
    QDir().mkpath(folder);
    return folder;
}

void saveScreenshot(QWidget& widget, const QString& name) {
    QPixmap picture = widget.grab();
    if (widget.isWindow()) {
        QStyleOptionTitleBar bar;
        bar.initFrom(&widget);
        bar.text = widget.windowTitle();
        bar.icon = widget.windowIcon();
        bar.titleBarFlags = Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint;
        // The style reads "active" from the state flags, as the MDI windows set them.
        bar.titleBarState = QStyle::State_Active;
        bar.state |= QStyle::State_Active;
        bar.palette.setCurrentColorGroup(QPalette::Active);
        bar.subControls = QStyle::SC_TitleBarLabel | QStyle::SC_TitleBarSysMenu;
        QStyle& style = *widget.style();
        const int height = style.pixelMetric(QStyle::PM_TitleBarHeight, &bar, &widget);
        bar.rect = QRect(0, 0, picture.width(), height);
        QPixmap framed(picture.width(), picture.height() + height);
        framed.fill(widget.palette().window().color());
        QPainter painter(&framed);
        style.drawComplexControl(QStyle::CC_TitleBar, &bar, &painter, &widget);
        painter.drawPixmap(0, height, picture);
        painter.end();
        picture = framed;
    }
    const QString path = QDir(screenshotFolder()).filePath(name);
    EXPECT_FALSE(picture.isNull()) << path.toStdString();
    EXPECT_TRUE(picture.save(path)) << path.toStdString();
}

const DateTime ClientFixture::kNow = DateTime::fromParts({2026, 3, 11}, 10, 0);

void ClientFixture::SetUp() {
    server_ = std::make_unique<ServerProcess>();
    server_->addOperator(kOperator, kPassword);
    server_->start();
    const auto outcome = logIn("127.0.0.1", server_->port(), kOperator, kPassword);
    ASSERT_TRUE(std::holds_alternative<ClientSession>(outcome));
    const auto& session = std::get<ClientSession>(outcome);
    token_ = session.token;
    clock_ = std::make_unique<FixedClock>(kNow);
    window_ = std::make_unique<MainWindow>(session, *clock_);
    window_->show();
    ASSERT_TRUE(window_->openAgenda());
    ASSERT_NE(agendaWindow(), nullptr);
}

void ClientFixture::TearDown() {
    scripts_.reset();
    window_.reset();
    QApplication::processEvents();
    server_.reset();
}

QMdiSubWindow* ClientFixture::agendaWindow() const {
    for (QMdiSubWindow* sub : window_->mdiArea().subWindowList()) {
        if (sub->findChild<QWidget*>("frmAFazer") != nullptr && sub->isVisible()) {
            return sub;
        }
    }
    return nullptr;
}

void ClientFixture::answerMessageBox(const QString& button, QString* text) {
    whenModal<QMessageBox>([button, text](QMessageBox& box) {
        if (text != nullptr) {
            *text = box.text();
        }
        for (QAbstractButton* candidate : box.buttons()) {
            if (candidate->text() == button) {
                candidate->click();
                return;
            }
        }
        ADD_FAILURE() << "sem botão " << button.toStdString();
        box.reject();
    });
}

void ClientFixture::typeText(QWidget* widget, const QString& text) {
    for (const QChar character : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(character));
        QApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(character));
        QApplication::sendEvent(widget, &release);
    }
}

void ClientFixture::seedToday(int count, std::chrono::minutes first, std::chrono::minutes apart) {
    const long long number = std::stoll(
        callServer("GetPrxAtivPessoalBloco", {Variant(std::string(kOperator)), Variant(count)})
            .payload.toText());
    std::vector<Change> changes;
    for (int i = 0; i < count; ++i) {
        changes.push_back(insertOf(reminderRow(ReminderValues(
            kOperator, std::to_string(number + i), "Lembrete " + std::to_string(i + 1),
            DateTime(kNow.date(), first + i * apart)))));
    }
    callServer("SetAfazer", {Variant(reminderDelta(changes))});
    clickButton(agenda<QAbstractButton>("sbtVerificar"));
}

void ClientFixture::createReminder(const QString& reference, const QString& time, bool alarm,
                                   const QString& description) {
    auto ran = whenModal([&](QDialog& dialog) {
        typeText(dialog.findChild<QLineEdit*>("drtDesc"), reference);
        dialog.findChild<QDateTimeEdit*>("dtpHora")->setTime(QTime::fromString(time, "HH:mm"));
        if (alarm) {
            clickButton(dialog.findChild<QCheckBox*>("chbAlarme"));
            QTest::keyClick(dialog.findChild<QComboBox*>("cbbAlarme"), Qt::Key_Down);
        }
        if (!description.isEmpty()) {
            dialog.findChild<QTabWidget*>("pgcGeral")->setCurrentIndex(2);
            dialog.findChild<QTextEdit*>("dbrTxAtivPess")->setHtml(description);
        }
        QTest::mouseClick(dialog.findChild<QPushButton*>("bitConfirma"), Qt::LeftButton);
    });
    QTest::mouseClick(agenda<QAbstractButton>("sbtIncluir"), Qt::LeftButton);
    ASSERT_TRUE(*ran);
}

void ClientFixture::clickCell(int row, int column, bool twice) {
    auto* view = agenda<QTableView>("dbsAFazer");
    const QPoint point = view->visualRect(view->model()->index(row, column)).center();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, point);
    if (twice) {
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, point);
    }
}

void ClientFixture::clickDay(QCalendarWidget& calendar, QDate day) {
    if (calendar.yearShown() != day.year() || calendar.monthShown() != day.month()) {
        calendar.setCurrentPage(day.year(), day.month());
    }
    auto* view = calendar.findChild<QTableView*>("qt_calendar_calendarview");
    ASSERT_NE(view, nullptr);
    // The month's days follow its first "1"; earlier cells belong to the month before.
    bool inMonth = false;
    for (int row = 0; row < view->model()->rowCount(); ++row) {
        for (int column = 0; column < view->model()->columnCount(); ++column) {
            const QModelIndex index = view->model()->index(row, column);
            const QString text = index.data().toString();
            inMonth = inMonth || text == "1";
            if (inMonth && text == QString::number(day.day())) {
                QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                                  view->visualRect(index).center());
                return;
            }
        }
    }
    ADD_FAILURE() << "dia não encontrado no calendário";
}

void ClientFixture::clickButton(QAbstractButton* button) {
    // On the box or the text: a check box reacts to neither its margins nor the space after.
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
}

void ClientFixture::activate(QWidget& window) {
    window.activateWindow();
    QApplication::setActiveWindow(&window);
    EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
}

int ClientFixture::gridRows() const {
    return agenda<QTableView>("dbsAFazer")->model()->rowCount();
}

QString ClientFixture::cell(int row, int column) const {
    const auto* view = agenda<QTableView>("dbsAFazer");
    return view->model()->index(row, column).data().toString();
}

ServerResult ClientFixture::callServer(std::string_view method, const std::vector<Variant>& args) {
    JsonRpcAppServer server("127.0.0.1", server_->port());
    server.setToken(token_);
    ServerResult result = server.call(method, args);
    EXPECT_TRUE(result.ok()) << (result.ok() ? "" : result.error->message);
    return result;
}

DataPacket ClientFixture::serverList(Date from, const std::string& reference) {
    const ServerResult result =
        callServer("GetAFazer", {Variant(reference), Variant(std::string(kOperator)), Variant(from),
                                 Variant(true), Variant(true), Variant(true)});
    return result.ok() ? result.payload.asPacket() : DataPacket{};
}

std::string ClientFixture::serverDescription(const std::string& number) {
    const ServerResult result =
        callServer("GetDescAFazer", {Variant(std::string(kOperator)), Variant(number)});
    if (!result.ok()) {
        return {};
    }
    const DataPacket& packet = result.payload.asPacket();
    const int field = packet.fieldIndex("TXATIVPESS");
    if (packet.rows.empty() || field < 0) {
        return {};
    }
    const Variant& text = packet.rows[0].at(static_cast<std::size_t>(field));
    return text.kind() == VariantKind::Blob ? text.asBlob().bytes : text.toText();
}

void ClientFixture::markDoneElsewhere(Date day) {
    const DataPacket held = serverList(day);
    ASSERT_EQ(held.rows.size(), 1u);
    Row done = held.rows[0];
    done[std::size_t(held.fieldIndex("IDSITUATPESS"))] = Variant(std::string("R"));
    callServer("SetAfazer", {Variant(reminderDelta({updateOf(held.rows[0], done)}))});
}

}  // namespace lembrete::testing
