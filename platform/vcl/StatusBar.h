#pragma once
// `TStatusBar`: a bottom-aligned bar of panels (text, width, alignment, bevel,
// owner draw through OnDrawPanel), or one simple text when SimplePanel is set.
#include <memory>

#include "platform/classes/Collection.h"
#include "platform/vcl/WinControl.h"

enum class TStatusPanelStyle { psText, psOwnerDraw };
enum class TStatusPanelBevel { pbNone, pbLowered, pbRaised };

class TStatusPanel : public TCollectionItem {
    VELMORA_CLASS(TStatusPanel)
public:
    explicit TStatusPanel(TCollection* collection);
    const std::string& Text() const noexcept { return text_; }
    void SetText(const std::string& t);
    int Width() const noexcept { return width_; }
    void SetWidth(int w);
    TAlignment Alignment() const noexcept { return alignment_; }
    void SetAlignment(TAlignment a);
    TStatusPanelStyle Style() const noexcept { return style_; }
    void SetStyle(TStatusPanelStyle s);
    TStatusPanelBevel Bevel() const noexcept { return bevel_; }
    void SetBevel(TStatusPanelBevel b);
    void Assign(const TPersistent* source) override;

private:
    std::string text_;
    int width_ = 50;
    TAlignment alignment_ = TAlignment::taLeftJustify;
    TStatusPanelStyle style_ = TStatusPanelStyle::psText;
    TStatusPanelBevel bevel_ = TStatusPanelBevel::pbLowered;
};

class TStatusPanels : public TCollectionOf<TStatusPanel> {
    VELMORA_CLASS(TStatusPanels)
public:
    using TCollectionOf<TStatusPanel>::TCollectionOf;
};

using TDrawPanelEvent = std::function<void(TObject* statusBar, TStatusPanel* panel, TRect rect)>;

class TStatusBar : public TWinControl {
    VELMORA_CLASS(TStatusBar)
public:
    explicit TStatusBar(TComponent* owner);
    ~TStatusBar() override;

    TStatusPanels* Panels() const noexcept { return panels_.get(); }
    bool SimplePanel() const noexcept { return simplePanel_; }
    void SetSimplePanel(bool v) { simplePanel_ = v; Invalidate(); }
    const std::string& SimpleText() const noexcept { return simpleText_; }
    void SetSimpleText(const std::string& t) { simpleText_ = t; Invalidate(); }
    bool SizeGrip() const noexcept { return sizeGrip_; }
    void SetSizeGrip(bool v) { sizeGrip_ = v; }
    // Panel i's rectangle: panels in order, each as wide as its Width (the last one
    // takes what remains).
    TRect PanelRect(int index) const;

    TDrawPanelEvent OnDrawPanel;
    TCanvas* Canvas() const noexcept { return canvas_; }
    void PaintOn(TCanvas& canvas) override;

private:
    std::unique_ptr<TStatusPanels> panels_;
    bool simplePanel_ = false;
    std::string simpleText_;
    bool sizeGrip_ = true;
    TCanvas* canvas_ = nullptr;
};
