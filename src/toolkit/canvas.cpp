#include "toolkit/canvas.h"

namespace lembrete {

void TCanvas::FillRect() {
    ops_.push_back({PaintKind::Fill, 0, 0, {}, brushColor_});
}

void TCanvas::Draw(int x, int y, std::string image, TColor transparent) {
    ops_.push_back({PaintKind::Image, x, y, std::move(image), clDefault, transparent});
}

void TCanvas::TextOut(int x, int y, std::string text, Alignment alignment) {
    ops_.push_back({PaintKind::Text, x, y, std::move(text), fontColor_, clDefault, alignment});
}

std::string TCanvas::Describe() const {
    std::string description;
    for (const PaintOp& op : ops_) {
        if (!description.empty()) {
            description += ' ';
        }
        const std::string at = "@" + std::to_string(op.x) + "," + std::to_string(op.y);
        switch (op.kind) {
            case PaintKind::Fill:
                description += "fill(" + std::string(colorName(op.color)) + ")";
                break;
            case PaintKind::Image:
                description += "image(" + op.content + at + ")";
                break;
            case PaintKind::Text:
                description += "text(" + op.content + at +
                               (op.alignment == Alignment::Right    ? " right"
                                : op.alignment == Alignment::Center ? " center"
                                                                    : "") +
                               ")";
                break;
        }
    }
    return description;
}

}  // namespace lembrete
