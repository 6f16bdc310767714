#pragma once
// `TImageList`: equally sized images (tool bars, tree and list views, menus),
// added from bitmaps (wider bitmaps are cut into several images) and drawn on a canvas.
#include <memory>
#include <vector>

#include "platform/vcl/Bitmap.h"
#include "platform/classes/Component.h"

class TImageList : public TComponent {
    VELMORA_CLASS(TImageList)
public:
    explicit TImageList(TComponent* owner);
    ~TImageList() override;

    int Width() const noexcept { return width_; }
    void SetWidth(int w);    // clears the list, as resizing the images would
    int Height() const noexcept { return height_; }
    void SetHeight(int h);
    int Count() const noexcept { return static_cast<int>(images_.size()); }

    // Adds the images of a bitmap (its width divided by Width), each with the
    // given transparent colour (clNone: opaque); returns the first new index.
    int AddMasked(const TBitmap& bitmap, TColor transparent);
    void Delete(int index);
    void Clear();
    // Copies image `index` into `dest`; false for an index out of range.
    bool GetBitmap(int index, TBitmap& dest) const;
    // Draws an image (a disabled one as its grey outline); an index out of range draws nothing.
    void Draw(TCanvas& canvas, int x, int y, int index, bool enabled = true) const;

    TNotifyEvent OnChange;

private:
    struct Image {
        std::unique_ptr<TBitmap> bitmap;
        TColor transparent;
    };
    void Changed();
    int width_ = 16, height_ = 16;
    std::vector<Image> images_;
};
