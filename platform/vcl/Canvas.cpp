#include "platform/vcl/Canvas.h"

#include <cstdlib>

#include "platform/core/Strings.h"
#include "platform/vcl/Bitmap.h"

namespace {
const TTypeInfo& BrushStyleType() {
    static const TTypeInfo t("TBrushStyle", TTypeKind::tkEnumeration, {"bsSolid", "bsClear"});
    return t;
}
const TTypeInfo& PenStyleType() {
    static const TTypeInfo t("TPenStyle", TTypeKind::tkEnumeration, {"psSolid", "psDash", "psDot", "psClear"});
    return t;
}

bool IsWide(char32_t c) {
    return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF) || (c >= 0xAC00 && c <= 0xD7A3) ||
           (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
           (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x20000 && c <= 0x3FFFD);
}
}  // namespace

int HeadlessCharWidth(char32_t ch, const TFont& font) noexcept {
    const int size = std::abs(font.Height());
    return IsWide(ch) ? size : (size + 1) / 2;
}

const TClassInfo& TBrush::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c("TBrush", &TPersistent::StaticClass());
        c.Add(TypedProperty("Color", ColorType(), &TBrush::Color, &TBrush::SetColor));
        c.Add(TypedProperty("Style", BrushStyleType(), &TBrush::Style, &TBrush::SetStyle));
        return c;
    }();
    return info;
}

void TBrush::Assign(const TPersistent* source) {
    if (auto* b = dynamic_cast<const TBrush*>(source)) {
        color_ = b->color_;
        style_ = b->style_;
        return;
    }
    TPersistent::Assign(source);
}

const TClassInfo& TPen::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c("TPen", &TPersistent::StaticClass());
        c.Add(TypedProperty("Color", ColorType(), &TPen::Color, &TPen::SetColor));
        c.Add(Property("Width", &TPen::Width, &TPen::SetWidth));
        c.Add(TypedProperty("Style", PenStyleType(), &TPen::Style, &TPen::SetStyle));
        return c;
    }();
    return info;
}

void TPen::Assign(const TPersistent* source) {
    if (auto* p = dynamic_cast<const TPen*>(source)) {
        color_ = p->color_;
        width_ = p->width_;
        style_ = p->style_;
        return;
    }
    TPersistent::Assign(source);
}

const TClassInfo& TCanvas::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c("TCanvas", &TPersistent::StaticClass());
        c.Add(ObjectProperty("Font", &TCanvas::Font));
        c.Add(ObjectProperty("Brush", &TCanvas::Brush));
        c.Add(ObjectProperty("Pen", &TCanvas::Pen));
        return c;
    }();
    return info;
}

TCanvas::TCanvas()
    : font_(std::make_unique<TFont>()), brush_(std::make_unique<TBrush>()), pen_(std::make_unique<TPen>()) {}

TCanvas::~TCanvas() = default;

TCanvasOp TCanvas::MakeOp(TCanvasOp::Kind kind, const TRect& r) const {
    TCanvasOp op;
    op.Op = kind;
    op.Rect = r;
    op.BrushColor = brush_->Color();
    op.BrushStyle = brush_->Style();
    op.PenColor = pen_->Color();
    op.FontColor = font_->Color();
    op.FontName = font_->Name();
    op.FontStyle = font_->Style();
    return op;
}

void TCanvas::FillRect(const TRect& r) {
    if (brush_->Style() == TBrushStyle::bsClear) return;
    Record(MakeOp(TCanvasOp::Kind::FillRect, r));
}

void TCanvas::FrameRect(const TRect& r) { Record(MakeOp(TCanvasOp::Kind::FrameRect, r)); }

void TCanvas::Rectangle(const TRect& r) { Record(MakeOp(TCanvasOp::Kind::Rectangle, r)); }

void TCanvas::LineTo(int x, int y) {
    Record(MakeOp(TCanvasOp::Kind::Line, Rect(penPos_.X, penPos_.Y, x, y)));
    penPos_ = {x, y};
}

void TCanvas::TextOut(int x, int y, std::string_view text) {
    auto op = MakeOp(TCanvasOp::Kind::TextOut, Bounds(x, y, TextWidth(text), TextHeight(text)));
    op.Text = std::string(text);
    op.At = {x, y};
    Record(std::move(op));
    penPos_ = {x + TextWidth(text), y};
}

void TCanvas::TextRect(const TRect& r, int x, int y, std::string_view text) {
    PaintClippedText(r, x, y, text, TAlignment::taLeftJustify);
}

void TCanvas::PaintClippedText(const TRect& r, int x, int y, std::string_view text, TAlignment alignment) {
    auto op = MakeOp(TCanvasOp::Kind::TextRect, r);
    op.Text = std::string(text);
    op.At = {x, y};
    op.Alignment = alignment;
    Record(std::move(op));
}

void TCanvas::AlignedText(const TRect& r, std::string_view text, TAlignment alignment, TTextLayout layout,
                          int margin) {
    const int w = TextWidth(text), h = TextHeight(text);
    int x = r.Left + margin;
    if (alignment == TAlignment::taRightJustify) x = r.Right - margin - w;
    else if (alignment == TAlignment::taCenter) x = r.Left + (r.Width() - w) / 2;
    int y = r.Top + margin;
    if (layout == TTextLayout::tlCenter) y = r.Top + (r.Height() - h) / 2;
    else if (layout == TTextLayout::tlBottom) y = r.Bottom - margin - h;
    PaintClippedText(r, x, y, text, alignment);
}

int TCanvas::TextWidth(std::string_view text) const {
    int width = 0;
    for (size_t pos = 0; pos < text.size();) width += HeadlessCharWidth(Utf8Decode(text, pos), *font_);
    return width;
}

int TCanvas::TextHeight(std::string_view) const { return std::abs(font_->Height()); }

void TCanvas::Draw(int x, int y, const TBitmap& bitmap, TColor transparent) {
    auto op = MakeOp(TCanvasOp::Kind::Draw, Bounds(x, y, bitmap.Width(), bitmap.Height()));
    op.Transparent = transparent;
    Record(std::move(op));
}

void TCanvas::SetPixel(int x, int y, TColor color) {
    auto op = MakeOp(TCanvasOp::Kind::Pixel, Bounds(x, y, 1, 1));
    op.PenColor = color;
    Record(std::move(op));
}

std::vector<std::string> TCanvas::Texts() const {
    std::vector<std::string> out;
    for (const auto& op : ops_)
        if (op.Op == TCanvasOp::Kind::TextOut || op.Op == TCanvasOp::Kind::TextRect) out.push_back(op.Text);
    return out;
}
