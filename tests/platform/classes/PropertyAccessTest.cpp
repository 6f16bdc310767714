#include "platform/classes/PropertyAccess.h"

#include <gtest/gtest.h>

#include <memory>

#include "platform/classes/Component.h"
#include "platform/classes/IntegerConsts.h"

namespace {
enum class TSampleAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
enum class TSampleStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TSampleStyles = TSet<TSampleStyle>;

const TTypeInfo& AlignType() {
    static const TTypeInfo t("TAlign", TTypeKind::tkEnumeration,
                             {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient"});
    return t;
}
const TTypeInfo& StylesType() {
    static const TTypeInfo t("TFontStyles", TTypeKind::tkSet, {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"});
    return t;
}

// A font-like object property.
class TSampleFont : public TPersistent {
    VELMORA_CLASS(TSampleFont)
public:
    std::string Name() const { return name_; }
    void SetName(std::string n) { name_ = std::move(n); }
    TColor Color() const { return color_; }
    void SetColor(TColor c) { color_ = c; }
    int Charset() const { return charset_; }
    void SetCharset(int c) { charset_ = c; }
    TSampleStyles Style() const { return style_; }
    void SetStyle(TSampleStyles s) { style_ = s; }

private:
    std::string name_ = "SimSun";
    TColor color_ = clWindowText;
    int charset_ = DEFAULT_CHARSET;
    TSampleStyles style_;
};

const TClassInfo& TSampleFont::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c("TSampleFont", &TPersistent::StaticClass());
        c.Add(Property("Name", &TSampleFont::Name, &TSampleFont::SetName));
        c.Add(TypedProperty("Color", ColorType(), &TSampleFont::Color, &TSampleFont::SetColor));
        c.Add(TypedProperty("Charset", CharsetType(), &TSampleFont::Charset, &TSampleFont::SetCharset));
        c.Add(TypedProperty("Style", StylesType(), &TSampleFont::Style, &TSampleFont::SetStyle));
        return c;
    }();
    return info;
}

class TSample : public TComponent {
    VELMORA_CLASS(TSample)
public:
    using TComponent::TComponent;
    int Width() const { return width_; }
    void SetWidth(int w) { width_ = w; }
    bool Visible() const { return visible_; }
    void SetVisible(bool v) { visible_ = v; }
    std::string Caption() const { return caption_; }
    void SetCaption(std::string c) { caption_ = std::move(c); }
    double Ratio() const { return ratio_; }
    void SetRatio(double r) { ratio_ = r; }
    TSampleAlign Align() const { return align_; }
    void SetAlign(TSampleAlign a) { align_ = a; }
    TCursor Cursor() const { return cursor_; }
    void SetCursor(TCursor c) { cursor_ = c; }
    int Count() const { return 7; }
    TSampleFont* Font() const { return font_.get(); }
    TSampleFont* TitleFont() const { return nullptr; }
    TSample* Buddy() const { return buddy_; }
    void SetBuddy(TSample* b) { buddy_ = b; }

    TNotifyEvent OnClick;
    std::function<void(TObject*, int&)> OnKey;

private:
    int width_ = 0;
    bool visible_ = true;
    std::string caption_;
    double ratio_ = 0;
    TSampleAlign align_ = TSampleAlign::alNone;
    TCursor cursor_ = crDefault;
    std::unique_ptr<TSampleFont> font_ = std::make_unique<TSampleFont>();
    TSample* buddy_ = nullptr;
};

const TClassInfo& TSample::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c("TSample", &TComponent::StaticClass(), [](TComponent* o) { return new TSample(o); });
        c.Add(Property("Width", &TSample::Width, &TSample::SetWidth));
        c.Add(Property("Visible", &TSample::Visible, &TSample::SetVisible));
        c.Add(Property("Caption", &TSample::Caption, &TSample::SetCaption));
        c.Add(Property("Ratio", &TSample::Ratio, &TSample::SetRatio));
        c.Add(Property("Count", &TSample::Count));
        c.Add(TypedProperty("Align", AlignType(), &TSample::Align, &TSample::SetAlign));
        c.Add(TypedProperty("Cursor", CursorType(), &TSample::Cursor, &TSample::SetCursor));
        c.Add(ObjectProperty("Font", &TSample::Font));
        c.Add(ObjectProperty("TitleFont", &TSample::TitleFont));
        c.Add(ObjectProperty("Buddy", &TSample::Buddy, &TSample::SetBuddy));
        c.Add(EventProperty("OnClick", &TSample::OnClick));
        c.Add(EventProperty("OnKey", &TSample::OnKey));
        return c;
    }();
    return info;
}
}  // namespace

TEST(PropertyAccess, KindsOfPublishedProperties) {
    TSample s(nullptr);
    const struct {
        const char* name;
        TTypeKind kind;
    } cases[] = {
        {"Width", TTypeKind::tkInteger},      {"visible", TTypeKind::tkEnumeration},
        {"Caption", TTypeKind::tkString},     {"Ratio", TTypeKind::tkFloat},
        {"Align", TTypeKind::tkEnumeration},  {"Font", TTypeKind::tkClass},
        {"OnClick", TTypeKind::tkMethod},     {"Name", TTypeKind::tkString},   // inherited
        {"Cursor", TTypeKind::tkInteger},     {"NoSuch", TTypeKind::tkUnknown},
        {"", TTypeKind::tkUnknown},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(PropKind(&s, c.name), c.kind);
        EXPECT_EQ(HasProperty(&s, c.name), c.kind != TTypeKind::tkUnknown);
    }
    EXPECT_EQ(PropKind(nullptr, "Width"), TTypeKind::tkUnknown);
    EXPECT_TRUE(GetPropInfo(&s, "Visible")->Type->IsBoolean());
}

TEST(PropertyAccess, SetByNameConvertsToThePropertysKind) {
    TSample s(nullptr);
    const struct {
        const char* name;
        Variant value;
        const char* text;   // GetPropText afterwards
    } cases[] = {
        {"Width", Variant("120"), "120"},
        {"Width", Variant(45.0), "45"},
        {"Align", Variant("alClient"), "alClient"},
        {"Align", Variant("  altop "), "alTop"},
        {"Align", Variant(3), "alLeft"},
        {"Visible", Variant("False"), "False"},
        {"Visible", Variant(-1), "True"},
        {"Visible", Variant("0"), "False"},
        {"Caption", Variant(12), "12"},
        {"Caption", Variant("单头"), "单头"},
        {"Ratio", Variant("0.25"), "0.25"},
        {"Cursor", Variant("crHourGlass"), "crHourGlass"},
        {"Cursor", Variant("-21"), "crHandPoint"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " <- " + c.value.AsString());
        SetPropValue(&s, c.name, c.value);
        EXPECT_EQ(GetPropText(&s, c.name), c.text);
    }
    EXPECT_EQ(GetPropValue(&s, "Width"), Variant(45));
    EXPECT_EQ(GetPropValue(&s, "Align"), Variant(3));
    EXPECT_EQ(s.Align(), TSampleAlign::alLeft);
}

TEST(PropertyAccess, BadValuesRaiseConvertErrorAndUnknownNamesDoNothing) {
    TSample s(nullptr);
    s.SetWidth(5);
    const struct {
        const char* name;
        Variant value;
    } bad[] = {
        {"Width", Variant("wide")},   {"Width", Variant::Null()}, {"Align", Variant("alMiddle")},
        {"Align", Variant(6)},        {"Align", Variant(-1)},     {"Visible", Variant("maybe")},
        {"Ratio", Variant("x")},      {"Font", Variant("Arial")}, {"OnClick", Variant("Handler")},
        {"Cursor", Variant("crNothing")},
    };
    for (const auto& c : bad) {
        SCOPED_TRACE(c.name);
        EXPECT_THROW(SetPropValue(&s, c.name, c.value), EConvertError);
    }
    EXPECT_EQ(s.Width(), 5);
    EXPECT_EQ(s.Align(), TSampleAlign::alNone);
    EXPECT_NO_THROW(SetPropValue(&s, "NoSuchProperty", Variant(1)));
    EXPECT_NO_THROW(SetPropValue(nullptr, "Width", Variant(1)));
    EXPECT_THROW(SetPropValue(&s, "Count", Variant(1)), EPropertyError);
    EXPECT_TRUE(GetPropValue(&s, "NoSuchProperty").IsEmpty());
}

TEST(PropertyAccess, SetNamesAndDottedPaths) {
    TSample s(nullptr);
    SetPropValueByPath(&s, "Font.Style", Variant("[fsBold, fsUnderline]"));
    EXPECT_EQ(s.Font()->Style(), (TSampleStyles{TSampleStyle::fsBold, TSampleStyle::fsUnderline}));
    EXPECT_EQ(GetPropText(s.Font(), "Style"), "[fsBold,fsUnderline]");
    SetPropValueByPath(&s, "Font.Style", Variant("[]"));
    EXPECT_TRUE(s.Font()->Style().Empty());
    SetPropValueByPath(&s, "Font.Style", Variant(2));
    EXPECT_EQ(s.Font()->Style(), TSampleStyles{TSampleStyle::fsItalic});
    EXPECT_THROW(SetPropValueByPath(&s, "Font.Style", Variant("[fsBold,fsHuge]")), EConvertError);
    EXPECT_THROW(SetPropValueByPath(&s, "Font.Style", Variant("[fsBold")), EConvertError);

    SetPropValueByPath(&s, "Font.Name", Variant("Tahoma"));
    SetPropValueByPath(&s, " Font . Charset ", Variant("GB2312_CHARSET"));
    SetPropValueByPath(&s, "Font.Color", Variant("clRed"));
    EXPECT_EQ(s.Font()->Name(), "Tahoma");
    EXPECT_EQ(s.Font()->Charset(), 134);
    EXPECT_EQ(s.Font()->Color(), clRed);
    EXPECT_EQ(GetPropValueByPath(&s, "font.color"), Variant(255));
    SetPropValueByPath(&s, "Font.Color", Variant("clBtnFace"));
    EXPECT_EQ(GetPropText(s.Font(), "Color"), "clBtnFace");
    SetPropValueByPath(&s, "Font.Color", Variant("136"));   // numeric text still converts
    EXPECT_EQ(s.Font()->Color(), 136);

    // A path through a missing object raises; Try reports it as false.
    EXPECT_THROW(SetPropValueByPath(&s, "TitleFont.Color", Variant("clRed")), EPropertyError);
    EXPECT_THROW(SetPropValueByPath(&s, "Nothing.Color", Variant("clRed")), EPropertyError);
    EXPECT_FALSE(TrySetPropValueByPath(&s, "TitleFont.Color", Variant("clRed")));
    EXPECT_FALSE(TrySetPropValueByPath(&s, "Font.Color", Variant("reddish")));
    EXPECT_TRUE(TrySetPropValueByPath(&s, "Font.NoSuch", Variant(1)));   // unknown last segment: nothing
    EXPECT_TRUE(GetPropValueByPath(&s, "TitleFont.Color").IsEmpty());
}

TEST(PropertyAccess, ObjectReferenceProperty) {
    TSample a(nullptr), b(nullptr);
    TSampleFont font;
    SetObjectProp(&a, "Buddy", &b);
    EXPECT_EQ(GetObjectProp(&a, "Buddy"), &b);
    EXPECT_THROW(SetObjectProp(&a, "Buddy", &font), EConvertError);
    EXPECT_THROW(SetObjectProp(&a, "Font", &font), EPropertyError);
    SetObjectProp(&a, "Buddy", nullptr);
    EXPECT_EQ(a.Buddy(), nullptr);
    EXPECT_EQ(GetObjectProp(&a, "Font"), a.Font());
    EXPECT_EQ(GetPropInfo(&a, "Font")->ObjectClass(), &TSampleFont::StaticClass());
}

TEST(PropertyAccess, EventsSaveClearAndRestoreByName) {
    TSample s(nullptr);
    int clicks = 0;
    s.OnClick = [&](TObject*) { ++clicks; };
    s.OnKey = [](TObject*, int& key) { key = 0; };

    auto saved = SaveAndClearEvents(&s, {"OnClick", "OnKey", "OnMissing", "Width"});
    ASSERT_EQ(saved.size(), 2u);
    EXPECT_FALSE(s.OnClick);
    EXPECT_FALSE(s.OnKey);
    EXPECT_FALSE(GetMethodProp(&s, "OnClick").Assigned());

    RestoreEvents(&s, saved);
    ASSERT_TRUE(s.OnClick);
    s.OnClick(&s);
    EXPECT_EQ(clicks, 1);
    int key = 13;
    s.OnKey(&s, key);
    EXPECT_EQ(key, 0);

    // One event's handler cannot go into an event of another type.
    EXPECT_THROW(SetMethodProp(&s, "OnKey", GetMethodProp(&s, "OnClick")), EConvertError);
    SetMethodProp(&s, "OnClick", TMethod());
    EXPECT_FALSE(s.OnClick);
    EXPECT_FALSE(GetMethodProp(&s, "NoSuch").Assigned());
}

TEST(PropertyAccess, ClassRegistryCreatesByNameAndListsProperties) {
    RegisterClass(TSample::StaticClass());
    TComponent owner(nullptr);
    TComponent* c = CreateComponentByClassName("tsample", &owner);
    ASSERT_NE(dynamic_cast<TSample*>(c), nullptr);
    EXPECT_EQ(c->Owner(), &owner);
    EXPECT_EQ(c->ClassName(), "TSample");
    EXPECT_TRUE(c->InheritsFrom(TComponent::StaticClass()));
    EXPECT_TRUE(c->ClassType().InheritsFrom("TPersistent"));
    EXPECT_THROW(FindClass("TNoSuchClass"), EClassNotFound);
    EXPECT_EQ(GetClass("TNoSuchClass"), nullptr);
    EXPECT_THROW(TSampleFont::StaticClass().Create(nullptr), EClassNotFound);

    auto props = TSample::StaticClass().Props();
    ASSERT_GE(props.size(), 2u);
    EXPECT_EQ(props[0]->Name, "Name");   // the parents' properties come first
    EXPECT_EQ(props[1]->Name, "Tag");
    UnregisterClass(TSample::StaticClass());
    EXPECT_EQ(GetClass("TSample"), nullptr);
}

TEST(IntegerConsts, ColourNamesAndValues) {
    const struct {
        const char* text;
        TColor color;
    } cases[] = {
        {"clRed", 0x0000FF}, {"clBtnFace", static_cast<TColor>(0x8000000F)}, {"clwhite", 0xFFFFFF},
        {"$00C8D0D4", 0xC8D0D4}, {"255", 255}, {"clNone", 0x1FFFFFFF},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(StringToColor(c.text), c.color);
    }
    EXPECT_THROW(StringToColor("clReddish"), EConvertError);
    EXPECT_THROW(StringToColor("$xyz"), EConvertError);
    EXPECT_EQ(ColorToString(clBtnFace), "clBtnFace");
    EXPECT_EQ(ColorToString(RGB(255, 255, 175)), "$00AFFFFF");
    EXPECT_EQ(ColorToRGB(clBtnFace), RGB(212, 208, 200));
    EXPECT_EQ(ColorToRGB(RGB(0, 200, 200)), RGB(0, 200, 200));
}
