#pragma once
// `TBitmap`: an image of pixels (24-bit colour or monochrome) with a canvas that
// paints into it. Pixels are TColor values 0x00BBGGRR; a monochrome bitmap stores
// black and white only (any colour darker than mid-grey becomes black).
#include <memory>
#include <vector>

#include "platform/vcl/Canvas.h"

enum class TPixelFormat { pf1bit, pf24bit };

class TBitmap : public TPersistent {
    VELMORA_CLASS(TBitmap)
public:
    TBitmap();
    TBitmap(int width, int height, TPixelFormat format = TPixelFormat::pf24bit);
    ~TBitmap() override;

    int Width() const noexcept { return width_; }
    int Height() const noexcept { return height_; }
    void SetWidth(int w) { SetSize(w, height_); }
    void SetHeight(int h) { SetSize(width_, h); }
    // Keeps the pixels that remain; new pixels are white.
    void SetSize(int width, int height);
    bool Empty() const noexcept { return width_ == 0 || height_ == 0; }

    TPixelFormat PixelFormat() const noexcept { return format_; }
    void SetPixelFormat(TPixelFormat format);   // to monochrome: by brightness
    bool Monochrome() const noexcept { return format_ == TPixelFormat::pf1bit; }

    // Out-of-range reads give clNone; out-of-range writes are ignored.
    TColor Pixels(int x, int y) const noexcept;
    void SetPixels(int x, int y, TColor color) noexcept;

    // The transparent colour: explicit, or (by default) the bottom-left pixel.
    bool Transparent() const noexcept { return transparent_; }
    void SetTransparent(bool t) { transparent_ = t; }
    TColor TransparentColor() const noexcept;
    void SetTransparentColor(TColor c) { transparentColor_ = c; }

    // Paints into the pixels (and records like any canvas).
    TCanvas* Canvas();

    void Assign(const TPersistent* source) override;
    bool SamePixels(const TBitmap& other) const noexcept;

private:
    int width_ = 0;
    int height_ = 0;
    TPixelFormat format_ = TPixelFormat::pf24bit;
    std::vector<TColor> pixels_;
    bool transparent_ = false;
    TColor transparentColor_ = clDefault;
    std::unique_ptr<TCanvas> canvas_;
};
