// TCanvas: records how one grid cell is painted, for tests and for the Qt delegate alike.
//
// Painting code (the grid's default drawing and a form's OnDrawColumnCell handler) calls
// FillRect / Draw / TextOut as on a real canvas; the canvas keeps the calls in order as
// PaintOps. Offsets are relative to the cell's top-left corner; the cell rectangle passed to
// the handler starts at (0, 0). Replaying the ops in order reproduces the cell.
#pragma once

#include <string>
#include <vector>

#include "data/field_layout.h"
#include "toolkit/color.h"

namespace lembrete {

struct CellRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

enum class PaintKind { Fill, Image, Text };

struct PaintOp {
    PaintKind kind = PaintKind::Fill;
    int x = 0;
    int y = 0;
    std::string content;                    // image name (Image) or text (Text)
    TColor color = clDefault;               // fill colour (Fill), font colour (Text)
    TColor transparent = clDefault;         // colour drawn as transparent (Image)
    Alignment alignment = Alignment::Left;  // Text: x is the margin from that side
    friend bool operator==(const PaintOp&, const PaintOp&) = default;
};

class TCanvas {
  public:
    explicit TCanvas(CellRect rect) : rect_(rect) {}

    const CellRect& Rect() const { return rect_; }
    TColor BrushColor() const { return brushColor_; }
    void SetBrushColor(TColor color) { brushColor_ = color; }
    TColor FontColor() const { return fontColor_; }
    void SetFontColor(TColor color) { fontColor_ = color; }

    // Fills the whole cell with the brush colour (the only rectangle a cell handler paints).
    void FillRect();
    void Draw(int x, int y, std::string image, TColor transparent = clDefault);
    void TextOut(int x, int y, std::string text, Alignment alignment = Alignment::Left);

    const std::vector<PaintOp>& Ops() const { return ops_; }
    // A short rendering: "fill(clInfoBk) image(imgCheck@2,0) text(Reunião@20,2)".
    std::string Describe() const;

  private:
    CellRect rect_;
    TColor brushColor_ = clWindow;
    TColor fontColor_ = clWindowText;
    std::vector<PaintOp> ops_;
};

}  // namespace lembrete
