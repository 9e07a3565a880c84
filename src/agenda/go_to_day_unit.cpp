#include "agenda/go_to_day_unit.h"

#include "agenda/frm_ir_para_dia.h"
#include "shell/hour_glass.h"

namespace lembrete {

GoToDayUnit::GoToDayUnit(HostServices& host) : host_(host) {}

GoToDayUnit::~GoToDayUnit() = default;

void GoToDayUnit::CriaIrParaDia(const std::uint16_t& year, const std::uint16_t& month,
                                const std::uint16_t& day) {
    HourGlass hourGlass(host_);
    SetDtData(Date::fromParts(year, month, day));
    if (dialog_ == nullptr) {
        dialog_ = createForm<TfrmIrParaDia>(host_, *this);
    }
    dialog_->ShowModal();
}

void GoToDayUnit::Confirm(Date date) {
    confirmed_ = date.parts();
    SetDtData(date);
}

}  // namespace lembrete
