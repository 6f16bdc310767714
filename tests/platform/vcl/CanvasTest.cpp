#include <gtest/gtest.h>

#include "platform/vcl/Bitmap.h"
#include "platform/vcl/ImageList.h"

TEST(Canvas, HeadlessMetricsCountWideAndNarrowCharacters) {
    TCanvas c;
    c.Font()->SetHeight(-12);
    const struct {
        const char* text;
        int width;
    } cases[] = {{"", 0}, {"abc", 18}, {"单头", 24}, {"A单", 18}, {"ＡＢ", 24}};
    for (const auto& k : cases) {
        SCOPED_TRACE(k.text);
        EXPECT_EQ(c.TextWidth(k.text), k.width);
    }
    EXPECT_EQ(c.TextHeight("x"), 12);
    c.Font()->SetSize(10);   // 10 points at 96 dpi
    EXPECT_EQ(c.Font()->Height(), -13);
}

TEST(Canvas, RecordsPrimitivesWithTheStateInEffect) {
    TCanvas c;
    c.Brush()->SetColor(clRed);
    c.FillRect(Rect(0, 0, 10, 10));
    c.Brush()->SetStyle(TBrushStyle::bsClear);
    c.FillRect(Rect(0, 0, 5, 5));   // a clear brush fills nothing
    c.Pen()->SetColor(clBlue);
    c.MoveTo(1, 2);
    c.LineTo(3, 4);
    c.Font()->SetColor(clGreen);
    c.TextOut(5, 6, "hi");
    c.AlignedText(Rect(0, 0, 100, 20), "mid", TAlignment::taCenter);
    ASSERT_EQ(c.Ops().size(), 4u);
    EXPECT_EQ(c.Ops()[0].Op, TCanvasOp::Kind::FillRect);
    EXPECT_EQ(c.Ops()[0].BrushColor, clRed);
    EXPECT_EQ(c.Ops()[1].Rect, Rect(1, 2, 3, 4));
    EXPECT_EQ(c.Ops()[1].PenColor, clBlue);
    EXPECT_EQ(c.Ops()[2].FontColor, clGreen);
    EXPECT_EQ(c.Ops()[2].At, (TPoint{5, 6}));
    EXPECT_EQ(c.Ops()[3].Alignment, TAlignment::taCenter);
    EXPECT_EQ(c.Ops()[3].At.X, (100 - 3 * 6) / 2);
    EXPECT_EQ(c.PenPos(), (TPoint{5 + 12, 6}));
    EXPECT_EQ(c.Texts(), (std::vector<std::string>{"hi", "mid"}));
}

TEST(Bitmap, PixelsDrawingAndTransparency) {
    TBitmap glyph(3, 2);
    glyph.Canvas()->Brush()->SetColor(clFuchsia);
    glyph.Canvas()->FillRect(Rect(0, 0, 3, 2));
    glyph.SetPixels(1, 0, clBlack);
    EXPECT_EQ(glyph.TransparentColor(), clFuchsia);   // the bottom-left pixel
    EXPECT_EQ(glyph.Pixels(5, 5), clNone);

    TBitmap target(4, 3);
    target.Canvas()->Brush()->SetColor(clBtnFace);   // system colours resolve to RGB
    target.Canvas()->FillRect(Rect(0, 0, 4, 3));
    target.Canvas()->Draw(1, 1, glyph, glyph.TransparentColor());
    EXPECT_EQ(target.Pixels(2, 1), clBlack);
    EXPECT_EQ(target.Pixels(1, 1), ColorToRGB(clBtnFace));   // transparent pixel left out
    target.SetSize(2, 2);   // keeps what remains
    EXPECT_EQ(target.Pixels(1, 1), ColorToRGB(clBtnFace));

    TBitmap mono(2, 1);
    mono.SetPixels(0, 0, RGB(100, 100, 100));
    mono.SetPixels(1, 0, RGB(200, 200, 200));
    mono.SetPixelFormat(TPixelFormat::pf1bit);
    EXPECT_EQ(mono.Pixels(0, 0), clBlack);
    EXPECT_EQ(mono.Pixels(1, 0), clWhite);
    mono.SetPixels(0, 0, clYellow);   // bright: white in a monochrome bitmap
    EXPECT_EQ(mono.Pixels(0, 0), clWhite);

    TBitmap copy;
    copy.Assign(&glyph);
    EXPECT_TRUE(copy.SamePixels(glyph));
}

TEST(ImageList, CutsBitmapsIntoImagesAndDrawsThem) {
    TImageList images(nullptr);
    images.SetWidth(2);
    images.SetHeight(1);
    TBitmap strip(6, 1);
    strip.SetPixels(0, 0, clRed);
    strip.SetPixels(2, 0, clGreen);
    strip.SetPixels(4, 0, clBlue);
    EXPECT_EQ(images.AddMasked(strip, clWhite), 0);
    EXPECT_EQ(images.Count(), 3);
    TBitmap second;
    ASSERT_TRUE(images.GetBitmap(1, second));
    EXPECT_EQ(second.Pixels(0, 0), clGreen);
    EXPECT_FALSE(images.GetBitmap(3, second));
    TBitmap target(2, 1);
    target.Canvas()->Brush()->SetColor(clBlack);
    target.Canvas()->FillRect(Rect(0, 0, 2, 1));
    images.Draw(*target.Canvas(), 0, 0, 2);
    EXPECT_EQ(target.Pixels(0, 0), clBlue);
    EXPECT_EQ(target.Pixels(1, 0), clBlack);   // the white mask colour is left out
    images.Draw(*target.Canvas(), 0, 0, 2, false);
    EXPECT_EQ(target.Pixels(0, 0), ColorToRGB(clBtnShadow));
}
