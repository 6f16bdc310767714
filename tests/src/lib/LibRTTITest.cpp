#include <gtest/gtest.h>

#include "platform/classes/Component.h"
#include "platform/classes/IntegerConsts.h"
#include "platform/vcl/DBCheckBox.h"
#include "platform/vcl/DBComboBox.h"
#include "platform/vcl/DBEdit.h"
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
// The framework's value-mapped check box: a data check box under its own class name.
class TSampleMappedCheck : public TDBCheckBox {
    VELMORA_CLASS(TSampleMappedCheck)
public:
    using TDBCheckBox::TDBCheckBox;
};
const TClassInfo& TSampleMappedCheck::StaticClass() {
    static const TClassInfo info("TFDbCheckBox", &TDBCheckBox::StaticClass());
    return info;
}

template <typename T>
T* Bound(TComponent* owner, const char* name, const char* field) {
    auto* c = new T(owner);
    c->SetName(name);
    c->SetDataField(field);
    return c;
}

// A form-like owner with an edit per field, controls that keep their colours,
// an edit bound to no field and a component without a DataField.
struct FieldForm {
    TComponent owner{nullptr};
    TDBEdit* ed1 = Bound<TDBEdit>(&owner, "edMB001", "MB001");
    TDBEdit* ed2 = Bound<TDBEdit>(&owner, "edMB002", "mb002");
    TDBEdit* ed3 = Bound<TDBEdit>(&owner, "edMB003", "MB003");
    TDBEdit* plain = Bound<TDBEdit>(&owner, "edFree", "");
    TwwDBComboBox* combo = Bound<TwwDBComboBox>(&owner, "cboMB001", "MB001");
    TDBRadioGroup* radio = Bound<TDBRadioGroup>(&owner, "rdgMB002", "MB002");
    TSampleMappedCheck* check = Bound<TSampleMappedCheck>(&owner, "chkMB002", "MB002");
    TSample* other = new TSample(&owner);   // has no DataField
    FieldForm() {
        for (TControl* c : std::initializer_list<TControl*>{ed1, ed2, ed3, plain, combo, radio, check}) c->SetColor(clWindow);
    }
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
        EXPECT_EQ(f.radio->Color(), clWindow);
        EXPECT_EQ(f.check->Color(), clWindow);
    }
    FieldForm f;
    SetFieldControlsColor(&f.owner, "MB001,MB002", ",", RGB(0, 200, 200));
    EXPECT_EQ(f.ed1->Color(), RGB(0, 200, 200));
    EXPECT_EQ(f.combo->Color(), RGB(0, 200, 200));
    EXPECT_EQ(f.radio->Color(), RGB(0, 200, 200));
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
