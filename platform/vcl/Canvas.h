#pragma once
// `TCanvas`: the one drawing surface of custom-painted controls (grids, owner-drawn
// menus, combo boxes and tabs, glyphs). The base class is the headless canvas: it
// records every primitive in `Ops()` with the brush, pen and font in effect, so that
// tests can check what a painter drew, and it measures text with fixed metrics:
//
//   size = |Font.Height|; a character of the wide (CJK) ranges is `size` pixels wide,
//   any other character (size + 1) / 2; TextHeight is `size` for any text.
//
// The screen's canvas overrides the virtual primitives to paint for real.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/vcl/Font.h"
#include "platform/vcl/Types.h"

class TBitmap;

enum class TBrushStyle { bsSolid, bsClear };
enum class TPenStyle { psSolid, psDash, psDot, psClear };

class TBrush : public TPersistent {
    VELMORA_CLASS(TBrush)
public:
    TColor Color() const noexcept { return color_; }
    void SetColor(TColor c) { color_ = c; style_ = TBrushStyle::bsSolid; }
    TBrushStyle Style() const noexcept { return style_; }
    void SetStyle(TBrushStyle s) { style_ = s; }
    void Assign(const TPersistent* source) override;

private:
    TColor color_ = clWhite;
    TBrushStyle style_ = TBrushStyle::bsSolid;
};

class TPen : public TPersistent {
    VELMORA_CLASS(TPen)
public:
    TColor Color() const noexcept { return color_; }
    void SetColor(TColor c) { color_ = c; }
    int Width() const noexcept { return width_; }
    void SetWidth(int w) { width_ = w < 1 ? 1 : w; }
    TPenStyle Style() const noexcept { return style_; }
    void SetStyle(TPenStyle s) { style_ = s; }
    void Assign(const TPersistent* source) override;

private:
    TColor color_ = clBlack;
    int width_ = 1;
    TPenStyle style_ = TPenStyle::psSolid;
};

// One recorded primitive.
struct TCanvasOp {
    enum class Kind { FillRect, FrameRect, Rectangle, Line, TextOut, TextRect, Draw, Pixel };
    Kind Op;
    TRect Rect;                   // the area (for Line: From = Left/Top, To = Right/Bottom)
    std::string Text;             // TextOut, TextRect
    TPoint At;                    // TextOut, TextRect: where the text starts
    TColor BrushColor = clWhite;  // state in effect
    TBrushStyle BrushStyle = TBrushStyle::bsSolid;
    TColor PenColor = clBlack;
    TColor FontColor = clBlack;
    std::string FontName;
    TFontStyles FontStyle;
    TAlignment Alignment = TAlignment::taLeftJustify;   // TextRect
    TColor Transparent = clNone;  // Draw: the colour left out
};

class TCanvas : public TPersistent {
    VELMORA_CLASS(TCanvas)
public:
    TCanvas();
    ~TCanvas() override;

    TFont* Font() const noexcept { return font_.get(); }
    TBrush* Brush() const noexcept { return brush_.get(); }
    TPen* Pen() const noexcept { return pen_.get(); }
    TPoint PenPos() const noexcept { return penPos_; }

    // Fills with the brush (nothing when the brush is clear).
    virtual void FillRect(const TRect& r);
    // A one-pixel frame in the brush colour.
    virtual void FrameRect(const TRect& r);
    // Outline with the pen, inside filled with the brush.
    virtual void Rectangle(const TRect& r);
    void MoveTo(int x, int y) { penPos_ = {x, y}; }
    virtual void LineTo(int x, int y);
    // Text with its top-left corner at (x, y); the background is filled with the
    // brush unless it is clear.
    virtual void TextOut(int x, int y, std::string_view text);
    // Text clipped to r, starting at (x, y).
    void TextRect(const TRect& r, int x, int y, std::string_view text);
    // Text aligned horizontally within r (and vertically by layout), clipped to r.
    void AlignedText(const TRect& r, std::string_view text, TAlignment alignment,
                     TTextLayout layout = TTextLayout::tlCenter, int margin = 2);
    virtual int TextWidth(std::string_view text) const;
    virtual int TextHeight(std::string_view text) const;

    // Draws a bitmap; with a transparent colour, pixels of that colour are left out.
    virtual void Draw(int x, int y, const TBitmap& bitmap, TColor transparent = clNone);
    virtual void SetPixel(int x, int y, TColor color);

    const std::vector<TCanvasOp>& Ops() const noexcept { return ops_; }
    void ClearOps() { ops_.clear(); }
    // The texts drawn, in order (a convenience over Ops()).
    std::vector<std::string> Texts() const;

protected:
    // Text clipped to r starting at (x, y); `alignment` is what the caller asked for.
    virtual void PaintClippedText(const TRect& r, int x, int y, std::string_view text, TAlignment alignment);
    TCanvasOp MakeOp(TCanvasOp::Kind kind, const TRect& r) const;
    void Record(TCanvasOp op) { ops_.push_back(std::move(op)); }

private:
    std::unique_ptr<TFont> font_;
    std::unique_ptr<TBrush> brush_;
    std::unique_ptr<TPen> pen_;
    TPoint penPos_;
    std::vector<TCanvasOp> ops_;
};

// The width of one character with the headless metrics of `font`.
int HeadlessCharWidth(char32_t ch, const TFont& font) noexcept;
