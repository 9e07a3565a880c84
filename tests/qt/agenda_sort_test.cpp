// Sorting the agenda's grid on the real widget: a click on a column title sorts by that
// column and shows the indicator on the header, a second click sorts back; the order outlives
// F5, another day, a saved reminder and a toggle, and the selected reminder stays selected
// (printing_test.cpp: "Imprimir" prints the rows as shown). With the server down, a refused
// toggle shows one message, not one more for the list read after it.
#include <QCheckBox>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMessageBox>
#include <QStatusBar>

#include "client_fixture.h"
#include "support/reminder_deltas.h"

namespace lembrete::testing {
namespace {

constexpr int kOkColumn = 0;
constexpr int kPriorityColumn = 1;
constexpr int kTimeColumn = 2;
constexpr int kDateColumn = 3;
constexpr int kReferenceColumn = 4;

class AgendaSortTest : public ClientFixture {
  protected:
    // Stored with one SetAfazer, then "A partir da data selecionada" and "Realizados" show them
    // all; the server lists them by date and time: banco, reunião, Água, Édipo, Dentista.
    void seed() {
        struct Seeded {
            const char* reference;
            int day, hour, minute;
            const char* state;
            const char* priority;
        };
        const Seeded seeded[] = {{"reunião", 11, 11, 0, "P", "10"},
                                 {"Água", 11, 13, 30, "P", "9"},
                                 {"banco", 11, 10, 15, "P", "10"},
                                 {"Édipo", 11, 16, 0, "R", "2"},
                                 {"Dentista", 12, 7, 0, "P", "1"}};
        const long long first = std::stoll(
            callServer("GetPrxAtivPessoalBloco", {Variant(std::string(kOperator)), Variant(5)})
                .payload.toText());
        std::vector<Change> changes;
        for (const Seeded& one : seeded) {
            changes.push_back(insertOf(reminderRow(ReminderValues(
                kOperator, std::to_string(first + static_cast<long long>(changes.size())),
                one.reference,
                DateTime(Date::fromParts(2026, 3, static_cast<std::uint16_t>(one.day)),
                         std::chrono::hours(one.hour) + std::chrono::minutes(one.minute)),
                one.state, "N", {}, "", one.priority))));
        }
        callServer("SetAfazer", {Variant(reminderDelta(changes))});
        clickButton(agenda<QCheckBox>("ckcRealizados"));
        clickButton(agenda<QCheckBox>("ckcTodos"));
    }

    QTableView* grid() const { return agenda<QTableView>("dbsAFazer"); }

    void clickTitle(int column) {
        QHeaderView* header = grid()->horizontalHeader();
        const QPoint point(
            header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
            header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, point);
    }

    // The references of the rows, in the order shown.
    QString references() const {
        QStringList shown;
        for (int row = 0; row < gridRows(); ++row) {
            shown << cell(row, kReferenceColumn);
        }
        return shown.join(", ");
    }
    int rowOf(const QString& reference) const {
        for (int row = 0; row < gridRows(); ++row) {
            if (cell(row, kReferenceColumn) == reference) {
                return row;
            }
        }
        ADD_FAILURE() << "sem a linha " << reference.toStdString();
        return -1;
    }
    QString currentReference() const {
        return cell(grid()->currentIndex().row(), kReferenceColumn);
    }
    QStringList selectedReferences() const {
        QStringList selected;
        for (const QModelIndex& index : grid()->selectionModel()->selectedRows()) {
            selected << cell(index.row(), kReferenceColumn);
        }
        selected.sort();
        return selected;
    }
    // The column the header's indicator is on, and "+" ascending or "-" descending.
    QString indicator() const {
        const QHeaderView* header = grid()->horizontalHeader();
        if (!header->isSortIndicatorShown()) {
            return QStringLiteral("none");
        }
        return QString::number(header->sortIndicatorSection()) +
               (header->sortIndicatorOrder() == Qt::AscendingOrder ? "+" : "-");
    }
};

TEST_F(AgendaSortTest, EachTitleSortsByWhatItsColumnMeansAndASecondClickSortsBack) {
    seed();
    ASSERT_EQ(references(), "banco, reunião, Água, Édipo, Dentista") << "date and time at first";
    EXPECT_EQ(indicator(), "none");
    const struct {
        int column;
        const char* ascending;
        const char* descending;
    } columns[] = {
        // 1, 2, 9, 10, 10 as numbers; equal ones keep the order shown.
        {kPriorityColumn, "Dentista, Édipo, Água, banco, reunião",
         "banco, reunião, Água, Édipo, Dentista"},
        // The time of day alone: tomorrow's 07:00 first.
        {kTimeColumn, "Dentista, banco, reunião, Água, Édipo",
         "Édipo, Água, reunião, banco, Dentista"},
        // Date and time: tomorrow last.
        {kDateColumn, "banco, reunião, Água, Édipo, Dentista",
         "Dentista, Édipo, Água, reunião, banco"},
        // Letter case and accents ignored, as the reference filter ignores them.
        {kReferenceColumn, "Água, banco, Dentista, Édipo, reunião",
         "reunião, Édipo, Dentista, banco, Água"},
        // Pending before done.
        {kOkColumn, "reunião, Dentista, banco, Água, Édipo",
         "Édipo, reunião, Dentista, banco, Água"},
    };
    for (const auto& column : columns) {
        clickTitle(column.column);
        EXPECT_EQ(references(), QString::fromUtf8(column.ascending)) << "column " << column.column;
        EXPECT_EQ(indicator(), QString::number(column.column) + "+");
        clickTitle(column.column);
        EXPECT_EQ(references(), QString::fromUtf8(column.descending)) << "column " << column.column;
        EXPECT_EQ(indicator(), QString::number(column.column) + "-");
    }
}

TEST_F(AgendaSortTest, TheOrderOutlivesEveryReloadAndTheSelectedReminderStaysSelected) {
    seed();
    clickCell(rowOf("Água"), kReferenceColumn);
    QTest::mouseClick(grid()->viewport(), Qt::LeftButton, Qt::ControlModifier,
                      grid()->visualRect(grid()->model()->index(rowOf("Dentista"), 4)).center());
    ASSERT_EQ(currentReference(), "Dentista");
    clickTitle(kReferenceColumn);
    const QString sorted = QString::fromUtf8("Água, banco, Dentista, Édipo, reunião");
    ASSERT_EQ(references(), sorted);
    EXPECT_EQ(currentReference(), "Dentista");
    EXPECT_EQ(selectedReferences(), (QStringList{"Dentista", QString::fromUtf8("Água")}));

    activate(window());
    grid()->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F5);
    EXPECT_EQ(references(), sorted) << "F5";
    EXPECT_EQ(indicator(), "4+");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right, Qt::AltModifier);
    ASSERT_EQ(agenda<QCalendarWidget>("dbcAFazer")->selectedDate(), QDate(2026, 3, 12));
    EXPECT_EQ(references(), "Dentista");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Left, Qt::AltModifier);
    EXPECT_EQ(references(), sorted) << "another day and back";

    // A toggle is sent and the list read again.
    clickCell(rowOf("banco"), kOkColumn);
    EXPECT_EQ(cell(rowOf("banco"), kOkColumn), "R");
    EXPECT_EQ(references(), sorted) << "after a toggle";
    EXPECT_EQ(currentReference(), "banco");

    // A reminder saved in the editor: the agenda reloads on the saved day.
    createReminder("Cinema", "20:00");
    EXPECT_EQ(references(), QString::fromUtf8("Água, banco, Cinema, Dentista, Édipo, reunião"));
    EXPECT_EQ(indicator(), "4+");
}

TEST_F(AgendaSortTest, ARefusedToggleWithTheServerDownShowsOneMessage) {
    createReminder("Antes da queda", "09:00");
    ASSERT_EQ(gridRows(), 1);
    server_->stop();
    // Every message box that shows is counted and closed.
    QStringList shown;
    QTimer closer;
    closer.setInterval(5);
    QObject::connect(&closer, &QTimer::timeout, [&shown] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            box != nullptr && box->isVisible()) {
            shown << box->text();
            box->accept();
        }
    });
    closer.start();
    // The boxes are modal: both would have shown before the click returns.
    clickCell(0, kOkColumn);
    closer.stop();
    ASSERT_EQ(shown.size(), 1) << shown.join(" | ").toStdString();
    EXPECT_TRUE(shown[0].startsWith(QString::fromUtf8("Servidor inacessível")))
        << shown[0].toStdString();
    EXPECT_EQ(gridRows(), 0);
    EXPECT_EQ(window().statusBar()->findChild<QLabel*>("lblConexao")->text(),
              QString::fromUtf8("Servidor inacessível"));
}

}  // namespace
}  // namespace lembrete::testing
