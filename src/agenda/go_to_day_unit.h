// GoToDayUnit: the go-to-day dialog's module-level state: dtData (the date handed to and back
// from the dialog, as a day number, 0 = 30 December 1899), the year, month and day of the last
// confirmed date, and the dialog itself, created on first use and kept for the module's life.
// The unit owns the dialog.
#pragma once

#include <cstdint>
#include <memory>

#include "data/date.h"

namespace lembrete {

class HostServices;
class TfrmIrParaDia;

class GoToDayUnit {
  public:
    explicit GoToDayUnit(HostServices& host);
    ~GoToDayUnit();
    GoToDayUnit(const GoToDayUnit&) = delete;
    GoToDayUnit& operator=(const GoToDayUnit&) = delete;

    int dtData() const { return dtData_; }
    Date ChosenDate() const { return Date::fromDayNumber(dtData_); }
    void SetDtData(Date date) { dtData_ = date.dayNumber(); }
    // The parts of the last confirmed date (all 0 before any confirmation).
    const DateParts& Confirmed() const { return confirmed_; }

    // The dialog once created, else nullptr.
    TfrmIrParaDia* frmIrParaDia() const { return dialog_.get(); }

    // Sets dtData to year/month/day, shows the dialog modally under the hourglass and leaves
    // the chosen date in dtData (unchanged on cancel). The arguments are read only. Throws
    // std::invalid_argument when they name no real day.
    void CriaIrParaDia(const std::uint16_t& year, const std::uint16_t& month,
                       const std::uint16_t& day);

    // The dialog's confirmation: records the date in dtData and in the confirmed parts.
    void Confirm(Date date);

  private:
    HostServices& host_;
    int dtData_ = 0;
    DateParts confirmed_;
    std::unique_ptr<TfrmIrParaDia> dialog_;
};

}  // namespace lembrete
