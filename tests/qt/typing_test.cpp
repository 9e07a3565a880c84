// Dates and times typed at the keyboard count as much as picked ones: the year typed in the
// go-to-day calendar, digits typed into the editor's date and time boxes, and Tab leaving a box
// for the next control instead of walking into its sections.
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTimeEdit>
#include <QToolButton>

#include "client_fixture.h"

namespace lembrete::testing {
namespace {

using TypingTest = ClientFixture;

// Opens the calendar's year box, types `year` and ends with `finish` (or nothing).
void typeYear(QCalendarWidget& calendar, const QString& year, Qt::Key finish = Qt::Key_unknown) {
    auto* button = calendar.findChild<QToolButton*>("qt_calendar_yearbutton");
    ASSERT_NE(button, nullptr);
    QTest::mouseClick(button, Qt::LeftButton);
    auto* box = calendar.findChild<QSpinBox*>("qt_calendar_yearedit");
    ASSERT_NE(box, nullptr);
    ASSERT_TRUE(box->isVisible());
    box->selectAll();
    QTest::keyClicks(box, year);
    if (finish != Qt::Key_unknown) {
        QTest::keyClick(box, finish);
    }
}

TEST_F(TypingTest, AYearTypedInTheGoToDayCalendarMovesTheAgendaWithEnterOrOk) {
    auto* calendar = agenda<QCalendarWidget>("dbcAFazer");
    const struct {
        const char* year;
        bool enter;  // else a click on OK while the year box is open
        QDate expected;
    } cases[] = {{"2027", true, QDate(2027, 3, 11)}, {"2028", false, QDate(2028, 3, 11)}};
    for (const auto& typed : cases) {
        auto ran = whenModal([&](QDialog& dialog) {
            activate(dialog);
            auto* picker = dialog.findChild<QCalendarWidget*>("mtcData");
            typed.enter ? typeYear(*picker, typed.year, Qt::Key_Return)
                        : typeYear(*picker, typed.year);
            if (!typed.enter) {
                QTest::mouseClick(dialog.findChild<QPushButton*>("bitConfirma"), Qt::LeftButton);
            }
        });
        QTest::mouseClick(agenda<QAbstractButton>("btnIrParaDia"), Qt::LeftButton);
        ASSERT_TRUE(*ran) << typed.year;
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << typed.year;
        EXPECT_EQ(calendar->selectedDate(), typed.expected) << typed.year;
    }
}

TEST_F(TypingTest, ATypedYearKeepsTheDayOrTheMonthsLastDay) {
    auto ran = whenModal([&](QDialog& dialog) {
        activate(dialog);
        auto* picker = dialog.findChild<QCalendarWidget*>("mtcData");
        clickDay(*picker, QDate(2028, 2, 29));
        typeYear(*picker, "2029", Qt::Key_Return);
    });
    QTest::mouseClick(agenda<QAbstractButton>("btnIrParaDia"), Qt::LeftButton);
    ASSERT_TRUE(*ran);
    EXPECT_EQ(agenda<QCalendarWidget>("dbcAFazer")->selectedDate(), QDate(2029, 2, 28));
}

// The editor's box of that name, focused, with the cursor at its start.
template <class T>
T* startOfBox(QDialog& dialog, const char* name) {
    auto* box = dialog.findChild<T*>(name);
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Home);
    return box;
}

TEST_F(TypingTest, DigitsFillTheDateAndTimeBoxesFromTheCursorAndTabLeavesTheBox) {
    auto ran = whenModal([&](QDialog& dialog) {
        activate(dialog);
        auto* hour = startOfBox<QTimeEdit>(dialog, "dtpHora");
        QTest::keyClicks(hour, "1430");
        EXPECT_EQ(hour->time(), QTime(14, 30));

        auto* day = startOfBox<QDateEdit>(dialog, "depData");
        QTest::keyClicks(day, "31012027");
        EXPECT_EQ(day->date(), QDate(2027, 1, 31));

        // Tab goes to the next control, never into the month of the same box.
        QTest::keyClick(day, Qt::Key_Home);
        QTest::keyClicks(day, "28");
        QTest::keyClick(day, Qt::Key_Tab);
        EXPECT_NE(QApplication::focusWidget(), day);
        EXPECT_NE(QApplication::focusWidget()->parentWidget(), day);
        EXPECT_EQ(day->date(), QDate(2027, 1, 28));
        QTest::keyClicks(QApplication::focusWidget(), "0915");
        EXPECT_EQ(day->date(), QDate(2027, 1, 28));
        EXPECT_EQ(hour->time(), QTime(9, 15));
        // Shift+Tab comes back to the previous control, not to a section of this one.
        QTest::keyClick(hour, Qt::Key_Backtab);
        EXPECT_TRUE(day->hasFocus());

        typeText(dialog.findChild<QLineEdit*>("drtDesc"), "Digitado");
        QTest::mouseClick(dialog.findChild<QPushButton*>("bitConfirma"), Qt::LeftButton);
    });
    QTest::mouseClick(agenda<QAbstractButton>("sbtIncluir"), Qt::LeftButton);
    ASSERT_TRUE(*ran);
    const DataPacket held = serverList(Date::fromParts(2027, 1, 28), "Digitado");
    ASSERT_EQ(held.rows.size(), 1u);
    EXPECT_EQ(held.rows[0].at(std::size_t(held.fieldIndex("HORARIO"))).toText(), "09:15:00");
    EXPECT_EQ(held.rows[0].at(std::size_t(held.fieldIndex("DATA"))).toText(), "28/01/2027");
}

}  // namespace
}  // namespace lembrete::testing
