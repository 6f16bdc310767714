#include "platform/vcl/Bitmap.h"

#include <algorithm>

namespace {
TColor ToMono(TColor c) {
    const int r = c & 0xFF, g = (c >> 8) & 0xFF, b = (c >> 16) & 0xFF;
    return r + g + b < 384 ? clBlack : clWhite;
}

// Paints into its bitmap's pixels and records like the headless canvas.
class TBitmapCanvas : public TCanvas {
public:
    explicit TBitmapCanvas(TBitmap& bitmap) : bitmap_(bitmap) {}

    void FillRect(const TRect& r) override {
        TCanvas::FillRect(r);
        if (Brush()->Style() == TBrushStyle::bsClear) return;
        Fill(r, ColorToRGB(Brush()->Color()));
    }
    void FrameRect(const TRect& r) override {
        TCanvas::FrameRect(r);
        const TColor c = ColorToRGB(Brush()->Color());
        Fill(Rect(r.Left, r.Top, r.Right, r.Top + 1), c);
        Fill(Rect(r.Left, r.Bottom - 1, r.Right, r.Bottom), c);
        Fill(Rect(r.Left, r.Top, r.Left + 1, r.Bottom), c);
        Fill(Rect(r.Right - 1, r.Top, r.Right, r.Bottom), c);
    }
    void Draw(int x, int y, const TBitmap& src, TColor transparent) override {
        TCanvas::Draw(x, y, src, transparent);
        for (int sy = 0; sy < src.Height(); ++sy)
            for (int sx = 0; sx < src.Width(); ++sx) {
                const TColor c = src.Pixels(sx, sy);
                if (transparent != clNone && c == ColorToRGB(transparent)) continue;
                bitmap_.SetPixels(x + sx, y + sy, c);
            }
    }
    void SetPixel(int x, int y, TColor color) override {
        TCanvas::SetPixel(x, y, color);
        bitmap_.SetPixels(x, y, ColorToRGB(color));
    }

private:
    void Fill(const TRect& r, TColor c) {
        for (int y = std::max(r.Top, 0); y < std::min(r.Bottom, bitmap_.Height()); ++y)
            for (int x = std::max(r.Left, 0); x < std::min(r.Right, bitmap_.Width()); ++x) bitmap_.SetPixels(x, y, c);
    }
    TBitmap& bitmap_;
};

const TTypeInfo& PixelFormatType() {
    static const TTypeInfo t("TPixelFormat", TTypeKind::tkEnumeration, {"pf1bit", "pf24bit"});
    return t;
}
}  // namespace

const TClassInfo& TBitmap::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c("TBitmap", &TPersistent::StaticClass());
        c.Add(Property("Width", &TBitmap::Width, &TBitmap::SetWidth));
        c.Add(Property("Height", &TBitmap::Height, &TBitmap::SetHeight));
        c.Add(TypedProperty("PixelFormat", PixelFormatType(), &TBitmap::PixelFormat, &TBitmap::SetPixelFormat));
        c.Add(Property("Transparent", &TBitmap::Transparent, &TBitmap::SetTransparent));
        c.Add(TypedProperty("TransparentColor", ColorType(), &TBitmap::TransparentColor, &TBitmap::SetTransparentColor));
        return c;
    }();
    return info;
}

TBitmap::TBitmap() = default;

TBitmap::TBitmap(int width, int height, TPixelFormat format) : format_(format) { SetSize(width, height); }

TBitmap::~TBitmap() = default;

void TBitmap::SetSize(int width, int height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width == width_ && height == height_) return;
    std::vector<TColor> pixels(static_cast<size_t>(width) * static_cast<size_t>(height), clWhite);
    for (int y = 0; y < std::min(height, height_); ++y)
        for (int x = 0; x < std::min(width, width_); ++x)
            pixels[static_cast<size_t>(y) * width + x] = pixels_[static_cast<size_t>(y) * width_ + x];
    pixels_ = std::move(pixels);
    width_ = width;
    height_ = height;
}

void TBitmap::SetPixelFormat(TPixelFormat format) {
    if (format == format_) return;
    format_ = format;
    if (Monochrome())
        for (auto& p : pixels_) p = ToMono(p);
}

TColor TBitmap::Pixels(int x, int y) const noexcept {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return clNone;
    return pixels_[static_cast<size_t>(y) * width_ + x];
}

void TBitmap::SetPixels(int x, int y, TColor color) noexcept {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    color = ColorToRGB(color);
    pixels_[static_cast<size_t>(y) * width_ + x] = Monochrome() ? ToMono(color) : color;
}

TColor TBitmap::TransparentColor() const noexcept {
    if (transparentColor_ != clDefault) return transparentColor_;
    return Empty() ? clNone : Pixels(0, height_ - 1);
}

TCanvas* TBitmap::Canvas() {
    if (!canvas_) canvas_ = std::make_unique<TBitmapCanvas>(*this);
    return canvas_.get();
}

void TBitmap::Assign(const TPersistent* source) {
    auto* b = dynamic_cast<const TBitmap*>(source);
    if (!b) {
        TPersistent::Assign(source);
        return;
    }
    width_ = b->width_;
    height_ = b->height_;
    format_ = b->format_;
    pixels_ = b->pixels_;
    transparent_ = b->transparent_;
    transparentColor_ = b->transparentColor_;
}

bool TBitmap::SamePixels(const TBitmap& other) const noexcept {
    return width_ == other.width_ && height_ == other.height_ && pixels_ == other.pixels_;
}
