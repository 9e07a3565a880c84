#include "qt/module/qt_convert.h"

namespace lembrete {

QColor toQColor(TColor color) {
    switch (color) {
        case clDefault:
            return {};
        case clBlack:
        case clWindowText:
            return QColor(0, 0, 0);
        case clWhite:
        case clWindow:
            return QColor(255, 255, 255);
        case clRed:
            return QColor(255, 0, 0);
        case clGreen:
            return QColor(0, 128, 0);
        case clBlue:
            return QColor(0, 0, 255);
        case clNavy:
            return QColor(0, 0, 128);
        case clMaroon:
            return QColor(128, 0, 0);
        case clOlive:
            return QColor(128, 128, 0);
        case clGray:
            return QColor(128, 128, 128);
        case clSilver:
            return QColor(192, 192, 192);
        case clYellow:
            return QColor(255, 255, 0);
        case clInfoBk:
            return QColor(255, 255, 225);
        case clBtnFace:
            return QColor(240, 240, 240);
    }
    return {};
}

}  // namespace lembrete
