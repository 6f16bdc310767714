#include <gtest/gtest.h>

#include "platform/classes/Component.h"
#include "platform/classes/IntegerConsts.h"
#include "src/lib/LibRTTI.h"

namespace {
enum class TSampleAlign { alNone, alTop, alClient };
enum class TSampleStyle { fsBold, fsItalic };
using TSampleStyles = TSet<TSampleStyle>;

const TTypeInfo& AlignType() {
    static const TTypeInfo t("TAlign", TTypeKind::tkEnumeration, {"alNone", "alTop", "alClient"});
    return t;
}
const TTypeInfo& StylesType() {
    static const TTypeInfo t("TFontStyles", TTypeKind::tkSet, {"fsBold", "fsItalic"});
    return t;
}

class TSample : public TComponent {
    VELMORA_CLASS(TSample)
public:
    using TComponent::TComponent;
    std::string Caption() const { return caption_; }
    void SetCaption(std::string c) { caption_ = std::move(c); }
    int Width() const { return width_; }
    void SetWidth(int w) { width_ = w; }
    bool Visible() const { return visible_; }
    void SetVisible(bool v) { visible_ = v; }
    TSampleAlign Align() const { return align_; }
    void SetAlign(TSampleAlign a) { align_ = a; }
    TSampleStyles Style() const { return style_; }
    void SetStyle(TSampleStyles s) { style_ = s; }
    double Ratio() const { return ratio_; }
    void SetRatio(double r) { ratio_ = r; }
    TNotifyEvent OnClick;

private:
    std::string caption_ = "原文";
    int width_ = 10;
    bool visible_ = true;
    TSampleAlign align_ = TSampleAlign::alTop;
    TSampleStyles style_{TSampleStyle::fsItalic};
    double ratio_ = 0.5;
};

const TClassInfo& TSample::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c("TSample", &TComponent::StaticClass());
        c.Add(Property("Caption", &TSample::Caption, &TSample::SetCaption));
        c.Add(Property("Width", &TSample::Width, &TSample::SetWidth));
        c.Add(Property("Visible", &TSample::Visible, &TSample::SetVisible));
        c.Add(TypedProperty("Align", AlignType(), &TSample::Align, &TSample::SetAlign));
        c.Add(TypedProperty("Style", StylesType(), &TSample::Style, &TSample::SetStyle));
        c.Add(Property("Ratio", &TSample::Ratio, &TSample::SetRatio));
        c.Add(EventProperty("OnClick", &TSample::OnClick));
        return c;
    }();
    return info;
}
// A control bound to a field, and two that keep their own colours.
class TFieldControl : public TComponent {
    VELMORA_CLASS(TFieldControl)
public:
    TFieldControl(TComponent* owner, std::string name, std::string field) : TComponent(owner), field_(std::move(field)) {
        SetName(name);
    }
    std::string DataField() const { return field_; }
    void SetDataField(std::string f) { field_ = std::move(f); }
    TColor Color() const { return color_; }
    void SetColor(TColor c) { color_ = c; }
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool e) { enabled_ = e; }

private:
    std::string field_;
    TColor color_ = clWindow;
    bool enabled_ = true;
};

const TClassInfo& TFieldControl::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c("TFieldControl", &TComponent::StaticClass());
        c.Add(Property("DataField", &TFieldControl::DataField, &TFieldControl::SetDataField));
        c.Add(TypedProperty("Color", ColorType(), &TFieldControl::Color, &TFieldControl::SetColor));
        c.Add(Property("Enabled", &TFieldControl::Enabled, &TFieldControl::SetEnabled));
        return c;
    }();
    return info;
}

class TSampleCombo : public TFieldControl {
    VELMORA_CLASS(TSampleCombo)
public:
    using TFieldControl::TFieldControl;
};
const TClassInfo& TSampleCombo::StaticClass() {
    static const TClassInfo base("TwwDBComboBox", &TFieldControl::StaticClass());
    static const TClassInfo info("TQvDBComboBox", &base);
    return info;
}

class TSampleCheck : public TFieldControl {
    VELMORA_CLASS(TSampleCheck)
public:
    using TFieldControl::TFieldControl;
};
const TClassInfo& TSampleCheck::StaticClass() {
    static const TClassInfo info("TFDbCheckBox", &TFieldControl::StaticClass());
    return info;
}

// A form-like owner with an edit per field, a combo box and a check box.
struct FieldForm {
    TComponent owner{nullptr};
    TFieldControl* ed1 = new TFieldControl(&owner, "edMB001", "MB001");
    TFieldControl* ed2 = new TFieldControl(&owner, "edMB002", "mb002");
    TFieldControl* ed3 = new TFieldControl(&owner, "edMB003", "MB003");
    TFieldControl* plain = new TFieldControl(&owner, "pnlHead", "");
    TSampleCombo* combo = new TSampleCombo(&owner, "cboMB001", "MB001");
    TSampleCheck* check = new TSampleCheck(&owner, "chkMB002", "MB002");
    TSample* other = new TSample(&owner);   // has no DataField
};
}  // namespace

TEST(LibRTTI, SetFieldControlsColor) {
    {
        FieldForm f;
        SetFieldControlsColor(&f.owner, " MB001 ;MB002;;MB003", ";", clYellow);   // stops at the empty entry
        EXPECT_EQ(f.ed1->Color(), clYellow);
        EXPECT_EQ(f.ed2->Color(), clYellow);   // field names in any case
        EXPECT_EQ(f.ed3->Color(), clWindow);
        EXPECT_EQ(f.plain->Color(), clWindow);
        EXPECT_EQ(f.combo->Color(), clWindow);   // only the key colour reaches these
        EXPECT_EQ(f.check->Color(), clWindow);
    }
    FieldForm f;
    SetFieldControlsColor(&f.owner, "MB001,MB002", ",", RGB(0, 200, 200));
    EXPECT_EQ(f.ed1->Color(), RGB(0, 200, 200));
    EXPECT_EQ(f.combo->Color(), RGB(0, 200, 200));
    EXPECT_EQ(f.check->Color(), RGB(0, 200, 200));
    EXPECT_EQ(f.ed3->Color(), clWindow);
    SetFieldControlsColor(nullptr, "MB001", ",", clRed);
}

TEST(LibRTTI, SetFieldControlsEnabled) {
    FieldForm f;
    SetFieldControlsEnabled(&f.owner, "MB001 DESC;; mb003 ;", ";", false);
    EXPECT_FALSE(f.ed1->Enabled());
    EXPECT_FALSE(f.combo->Enabled());
    EXPECT_TRUE(f.ed2->Enabled());
    EXPECT_FALSE(f.ed3->Enabled());
    EXPECT_TRUE(f.plain->Enabled());   // an empty entry names no control
    SetFieldControlsEnabled(&f.owner, "MB001", ";", true);
    EXPECT_TRUE(f.ed1->Enabled());
    EXPECT_TRUE(f.combo->Enabled());
}

TEST(LibRTTI, KindsAndReading) {
    TSample s(nullptr);
    struct Case {
        const char* name;
        TTypeKind kind;
        const char* text;
        int64_t ordinal;
    } cases[] = {
        {"Caption", TTypeKind::tkString, "原文", 0},
        {"caption", TTypeKind::tkString, "原文", 0},
        {"Width", TTypeKind::tkInteger, "", 10},
        {"Visible", TTypeKind::tkEnumeration, "", 1},   // True is ordinal 1
        {"Align", TTypeKind::tkEnumeration, "", 1},
        {"Style", TTypeKind::tkSet, "", 2},
        {"Ratio", TTypeKind::tkFloat, "", 0},
        {"OnClick", TTypeKind::tkMethod, "", 0},
        {"Missing", TTypeKind::tkUnknown, "", 0},
        {"", TTypeKind::tkUnknown, "", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(GetPropKind(&s, c.name), c.kind);
        EXPECT_EQ(GetStrPropByName(&s, c.name), c.text);
        EXPECT_EQ(GetOrdPropByName(&s, c.name), c.ordinal);
    }
    EXPECT_EQ(GetPropKind(nullptr, "Caption"), TTypeKind::tkUnknown);
    EXPECT_EQ(GetStrPropByName(nullptr, "Caption"), "");
    EXPECT_EQ(GetOrdPropByName(nullptr, "Width"), 0);
    EXPECT_FALSE(GetMethodPropByName(nullptr, "OnClick").Assigned());
    EXPECT_FALSE(GetMethodPropByName(&s, "Missing").Assigned());
}

TEST(LibRTTI, Setting) {
    TSample s(nullptr);
    SetStrPropByName(&s, "CAPTION", "新");
    SetOrdPropByName(&s, "Width", 42);
    SetOrdPropByName(&s, "Visible", 0);
    SetOrdPropByName(&s, "Align", 2);
    SetOrdPropByName(&s, "Style", 3);
    EXPECT_EQ(s.Caption(), "新");
    EXPECT_EQ(s.Width(), 42);
    EXPECT_FALSE(s.Visible());
    EXPECT_EQ(s.Align(), TSampleAlign::alClient);
    EXPECT_EQ(s.Style(), (TSampleStyles{TSampleStyle::fsBold, TSampleStyle::fsItalic}));

    // Wrong kinds, missing names and a missing object change nothing.
    SetStrPropByName(&s, "Width", "7");
    SetOrdPropByName(&s, "Caption", 7);
    SetOrdPropByName(&s, "Ratio", 7);
    SetStrPropByName(&s, "Missing", "x");
    SetStrPropByName(nullptr, "Caption", "x");
    SetOrdPropByName(nullptr, "Width", 1);
    EXPECT_EQ(s.Caption(), "新");
    EXPECT_EQ(s.Width(), 42);
    EXPECT_EQ(s.Ratio(), 0.5);

    int clicks = 0;
    s.OnClick = [&](TObject*) { ++clicks; };
    const TMethod saved = GetMethodPropByName(&s, "OnClick");
    SetMethodPropByName(&s, "OnClick", TMethod());
    EXPECT_FALSE(s.OnClick);
    SetMethodPropByName(&s, "Caption", saved);   // not an event: nothing
    SetMethodPropByName(&s, "OnClick", saved);
    ASSERT_TRUE(s.OnClick);
    s.OnClick(&s);
    EXPECT_EQ(clicks, 1);
}
