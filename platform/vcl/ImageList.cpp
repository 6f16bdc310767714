#include "platform/vcl/ImageList.h"

const TClassInfo& TImageList::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c("TImageList", &TComponent::StaticClass(), [](TComponent* o) { return new TImageList(o); });
        c.Add(Property("Width", &TImageList::Width, &TImageList::SetWidth));
        c.Add(Property("Height", &TImageList::Height, &TImageList::SetHeight));
        c.Add(Property("Count", &TImageList::Count));
        c.Add(EventProperty("OnChange", &TImageList::OnChange));
        return c;
    }();
    return info;
}

TImageList::TImageList(TComponent* owner) : TComponent(owner) {}

TImageList::~TImageList() = default;

void TImageList::Changed() {
    if (OnChange) OnChange(this);
}

void TImageList::SetWidth(int w) {
    if (w == width_ || w <= 0) return;
    width_ = w;
    Clear();
}

void TImageList::SetHeight(int h) {
    if (h == height_ || h <= 0) return;
    height_ = h;
    Clear();
}

int TImageList::AddMasked(const TBitmap& bitmap, TColor transparent) {
    const int first = Count();
    const int n = std::max(1, bitmap.Width() / width_);
    for (int i = 0; i < n; ++i) {
        auto image = std::make_unique<TBitmap>(width_, height_);
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x) {
                const TColor c = bitmap.Pixels(i * width_ + x, y);
                image->SetPixels(x, y, c == clNone ? (transparent == clNone ? clWhite : transparent) : c);
            }
        images_.push_back({std::move(image), transparent});
    }
    Changed();
    return first;
}

void TImageList::Delete(int index) {
    if (index < 0 || index >= Count()) return;
    images_.erase(images_.begin() + index);
    Changed();
}

void TImageList::Clear() {
    if (images_.empty()) return;
    images_.clear();
    Changed();
}

bool TImageList::GetBitmap(int index, TBitmap& dest) const {
    if (index < 0 || index >= Count()) return false;
    dest.Assign(images_[static_cast<size_t>(index)].bitmap.get());
    return true;
}

void TImageList::Draw(TCanvas& canvas, int x, int y, int index, bool enabled) const {
    if (index < 0 || index >= Count()) return;
    const Image& image = images_[static_cast<size_t>(index)];
    if (enabled) {
        canvas.Draw(x, y, *image.bitmap, image.transparent);
        return;
    }
    // Disabled: every opaque pixel in the shadow colour.
    TBitmap grey(width_, height_);
    const TColor back = image.transparent == clNone ? clWhite : image.transparent;
    for (int py = 0; py < height_; ++py)
        for (int px = 0; px < width_; ++px) {
            const TColor c = image.bitmap->Pixels(px, py);
            grey.SetPixels(px, py, c == ColorToRGB(back) ? back : clBtnShadow);
        }
    canvas.Draw(x, y, grey, back);
}
