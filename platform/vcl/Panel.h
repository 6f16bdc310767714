#pragma once
// Containers: `TPanel` (bevels and border narrow its client area), `TGroupBox`
// (a caption frame), `TScrollBox`, and the decorations `TBevel` and `TSplitter`
// (which resizes the aligned control before it when dragged).
#include "platform/vcl/WinControl.h"

enum class TPanelBevel { bvNone, bvLowered, bvRaised, bvSpace };
const TTypeInfo& PanelBevelType();

class TCustomPanel : public TWinControl {
    VELMORA_CLASS(TCustomPanel)
public:
    explicit TCustomPanel(TComponent* owner);

    TPanelBevel BevelOuter() const noexcept { return bevelOuter_; }
    void SetBevelOuter(TPanelBevel b);
    TPanelBevel BevelInner() const noexcept { return bevelInner_; }
    void SetBevelInner(TPanelBevel b);
    int BevelWidth() const noexcept { return bevelWidth_; }
    void SetBevelWidth(int w);
    int BorderWidth() const noexcept { return borderWidth_; }
    void SetBorderWidth(int w);
    TAlignment Alignment() const noexcept { return alignment_; }
    void SetAlignment(TAlignment a) { alignment_ = a; Invalidate(); }

    // Frame, bevels and the caption at its alignment.
    void PaintOn(TCanvas& canvas) override;

protected:
    void AdjustClientRect(TRect& rect) const override;

private:
    TPanelBevel bevelOuter_ = TPanelBevel::bvRaised;
    TPanelBevel bevelInner_ = TPanelBevel::bvNone;
    int bevelWidth_ = 1;
    int borderWidth_ = 0;
    TAlignment alignment_ = TAlignment::taCenter;
};

class TPanel : public TCustomPanel {
    VELMORA_CLASS(TPanel)
public:
    using TCustomPanel::TCustomPanel;
};

class TGroupBox : public TWinControl {
    VELMORA_CLASS(TGroupBox)
public:
    explicit TGroupBox(TComponent* owner);

protected:
    // The caption line at the top and a two-pixel frame.
    void AdjustClientRect(TRect& rect) const override;
};

class TScrollBox : public TWinControl {
    VELMORA_CLASS(TScrollBox)
public:
    explicit TScrollBox(TComponent* owner);
};

enum class TBevelShape { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };
enum class TBevelStyle { bsLowered, bsRaised };

class TBevel : public TGraphicControl {
    VELMORA_CLASS(TBevel)
public:
    explicit TBevel(TComponent* owner);
    TBevelShape Shape() const noexcept { return shape_; }
    void SetShape(TBevelShape s) { shape_ = s; Invalidate(); }
    TBevelStyle Style() const noexcept { return style_; }
    void SetStyle(TBevelStyle s) { style_ = s; Invalidate(); }

protected:
    void Paint() override;

private:
    TBevelShape shape_ = TBevelShape::bsBox;
    TBevelStyle style_ = TBevelStyle::bsLowered;
};

class TSplitter : public TGraphicControl {
    VELMORA_CLASS(TSplitter)
public:
    explicit TSplitter(TComponent* owner);
    int MinSize() const noexcept { return minSize_; }
    void SetMinSize(int m) { minSize_ = m < 1 ? 1 : m; }
    bool Beveled() const noexcept { return beveled_; }
    void SetBeveled(bool b) { beveled_ = b; }
    // The aligned sibling the splitter resizes: the one it sits against.
    TControl* FindControl() const;
    TNotifyEvent OnMoved;

    // Dragging: press, move and release with the left button resizes the control.
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

private:
    int minSize_ = 30;
    bool beveled_ = false;
    bool dragging_ = false;
    TPoint downAt_;
    int startSize_ = 0;
};
