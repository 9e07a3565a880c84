// Conversions between the headless values and Qt's: named colours, dates, UTF-8 text.
#pragma once

#include <QColor>
#include <QDate>
#include <QString>
#include <string>

#include "data/date.h"
#include "toolkit/color.h"

namespace lembrete {

// The colour a named colour stands for on screen (clInfoBk is the pale tooltip yellow,
// clBtnFace the light grey of buttons); clDefault gives an invalid QColor.
QColor toQColor(TColor color);

inline QDate toQDate(Date day) {
    const DateParts parts = day.parts();
    return QDate(parts.year, parts.month, parts.day);
}

inline Date fromQDate(QDate day) {
    return Date::fromParts(static_cast<std::uint16_t>(day.year()),
                           static_cast<std::uint16_t>(day.month()),
                           static_cast<std::uint16_t>(day.day()));
}

inline QString toQString(const std::string& text) {
    return QString::fromStdString(text);
}

}  // namespace lembrete
