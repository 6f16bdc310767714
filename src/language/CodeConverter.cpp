#include "src/language/CodeConverter.h"

#include <algorithm>

#include "platform/classes/Collection.h"
#include "platform/classes/PropertyAccess.h"
#include "platform/classes/StringList.h"
#include "platform/core/Strings.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/ComboBox.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/Font.h"
#include "platform/vcl/Form.h"
#include "platform/vcl/Grid.h"
#include "platform/vcl/ListView.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/TabSet.h"
#include "platform/vcl/TreeView.h"
#include "src/language/TranslatorU.h"
#include "src/server/VelmoraINI.h"

// One line of the exception list: a component name and the properties it keeps.
struct TCodeConverter::ExceptLine {
    std::string name;
    std::vector<std::string> keep;
    // A line with no property names keeps every text of its component.
    bool KeepsAll() const noexcept { return keep.empty(); }
    bool Keeps(std::string_view property) const noexcept {
        for (const std::string& p : keep)
            if (SameText(p, property)) return true;
        return false;
    }
};

namespace {

constexpr const char* kModeFontName = "SimSun";

void ConvertInPlace(const TTranslator& translator, int direction, Variant& value) {
    if (value.IsClear() || value.IsDispatch()) return;
    if (value.IsArray()) {
        for (Variant& element : value.MutableElements()) ConvertInPlace(translator, direction, element);
        return;
    }
    const std::string text = value.AsString();
    value = Variant(direction == 1 ? translator.BIG5toGB(text) : translator.GBtoBIG5(text));
}

// ---- per-property steps: each works only when the component has the property ----

// The converted text, or the same text when the conversion leaves it alone.
std::string Converted(const TCodeConverter& converter, int mode, const std::string& text) {
    return converter.ConvertValue(mode, Variant(text)).AsString();
}

void ConvertTextProperty(const TCodeConverter& converter, TObject* object, std::string_view name, int mode) {
    const TPropInfo* prop = GetPropInfo(object, name);
    if (!prop || prop->Kind() != TTypeKind::tkString || !prop->Set) return;
    const std::string text = prop->Get(*object).AsString();
    if (text.empty()) return;
    std::string converted = Converted(converter, mode, text);
    if (converted != text) prop->Set(*object, Variant(std::move(converted)));
}

void ConvertLines(const TCodeConverter& converter, TStrings* lines, int mode) {
    if (!lines || lines->Count() == 0) return;
    const std::string text = lines->Text();
    const std::string converted = Converted(converter, mode, text);
    if (converted != text) lines->SetText(converted);
}

TStrings* StringsProperty(TObject* object, std::string_view name) {
    return dynamic_cast<TStrings*>(GetObjectProp(object, name));
}

// Edits, memos and combo boxes show their Text as Caption; that is data or typed
// input, never a program text, so they have no caption to convert.
void ConvertCaption(const TCodeConverter& converter, TComponent* c, int mode) {
    if (dynamic_cast<TCustomEdit*>(c)) return;
    ConvertTextProperty(converter, c, "Caption", mode);
}

void ConvertHint(const TCodeConverter& converter, TComponent* c, int mode) {
    ConvertTextProperty(converter, c, "Hint", mode);
    ConvertTextProperty(converter, c, "ButtonHint", mode);
}

void ConvertFont(TComponent* c, std::string_view name, int mode) {
    if (auto* font = dynamic_cast<TFont*>(GetObjectProp(c, name))) TCodeConverter::SetModeFont(mode, font);
}

// A combo box of the toolkit's own kind (data-aware ones keep their value instead).
TCustomComboBox* StandardComboBox(TComponent* c) {
    auto* combo = dynamic_cast<TCustomComboBox*>(c);
    return combo && !combo->ClassType().InheritsFrom("TwwDBCustomComboBox") ? combo : nullptr;
}
bool IsStandardComboBox(TComponent* c) { return StandardComboBox(c) != nullptr; }

bool HasItems(TComponent* c) {
    const TStrings* items = StringsProperty(c, "Items");
    return items && items->Count() > 0;
}

int ItemIndexOf(const TComponent* c) { return static_cast<int>(GetPropValue(c, "ItemIndex").AsInteger()); }
void SetItemIndexOf(TComponent* c, int index) { TrySetPropValueByPath(c, "ItemIndex", Variant(index)); }

void ConvertItems(const TCodeConverter& converter, TComponent* c, int mode) {
    TStrings* items = StringsProperty(c, "Items");
    if (!items) return;
    const bool keepIndex = IsStandardComboBox(c) && items->Count() > 0;
    const int index = keepIndex ? ItemIndexOf(c) : -1;
    ConvertLines(converter, items, mode);
    if (keepIndex) SetItemIndexOf(c, index);
}

void ConvertLinesProperty(const TCodeConverter& converter, TComponent* c, int mode) {
    ConvertLines(converter, StringsProperty(c, "Lines"), mode);
}

// Sets an enumeration property to another element, by the elements' names.
void ReplaceEnum(TComponent* c, const TPropInfo& prop, std::initializer_list<std::pair<const char*, const char*>> map) {
    const std::string current = prop.Type->EnumName(prop.Get(*c).AsInteger());
    for (const auto& [from, to] : map)
        if (current == from) {
            SetPropValue(c, prop.Name, Variant(to));
            return;
        }
}

void ConvertStyle(TComponent* c, int mode) {
    if (mode == 0) return;
    const TPropInfo* prop = GetPropInfo(c, "Style");
    if (!prop || prop->Kind() != TTypeKind::tkEnumeration || !prop->Set) return;
    const std::string& type = prop->Type->Name();
    if (type == "TComboBoxStyle") {
        const bool keepIndex = IsStandardComboBox(c) && HasItems(c);
        const int index = keepIndex ? ItemIndexOf(c) : -1;
        ReplaceEnum(c, *prop, {{"csDropDown", "csOwnerDrawVariable"}, {"csDropDownList", "csOwnerDrawFixed"}});
        if (keepIndex && ItemIndexOf(c) < 0) SetItemIndexOf(c, index);
    } else if (type == "TListBoxStyle") {
        ReplaceEnum(c, *prop, {{"lbStandard", "lbOwnerDrawFixed"}});
    }
}

void ConvertPanels(const TCodeConverter& converter, TComponent* c, int mode) {
    const TPropInfo* prop = GetPropInfo(c, "Panels");
    if (!prop || prop->Kind() != TTypeKind::tkClass || !prop->ObjectClass() ||
        !prop->ObjectClass()->InheritsFrom("TStatusPanels"))
        return;
    auto* panels = dynamic_cast<TCollection*>(prop->GetObject(*c));
    if (!panels) return;
    for (int i = 0; i < panels->Count(); ++i) ConvertTextProperty(converter, panels->Items(i), "Text", mode);
}

// ---- class-specific steps (GB to Big5 only) ----

void ConvertEachLine(const TCodeConverter& converter, TStrings* lines) {
    if (!lines) return;
    for (int i = 0; i < lines->Count(); ++i) {
        const std::string& line = lines->Strings(i);
        if (line.empty()) continue;
        std::string converted = Converted(converter, 2, line);
        if (converted != line) lines->SetStrings(i, converted);
    }
}

// A tab set's tabs, converted as one text; the chosen tab stays.
void ConvertTabSet(const TCodeConverter& converter, TTabSet* tabs) {
    const int index = tabs->TabIndex();
    ConvertLines(converter, tabs->Tabs(), 2);
    tabs->SetTabIndex(index);
}

void ConvertStandardComboBox(TCustomComboBox* combo) {
    if (combo->Style() != TComboBoxStyle::csSimple) combo->SetStyle(TComboBoxStyle::csOwnerDrawFixed);
    if (combo->Items()->Count() > 0 && combo->ItemIndex() < 0) combo->SetItemIndex(0);
}

void ConvertText(const TCodeConverter& converter, const std::string& text, auto&& set) {
    if (text.empty()) return;
    std::string converted = Converted(converter, 2, text);
    if (converted != text) set(std::move(converted));
}

// Column captions, item captions and the sub-items that have a column; sub-items
// beyond the last column are never shown.
void ConvertListView(const TCodeConverter& converter, TListView* view) {
    TListColumns* columns = view->Columns();
    for (int c = 0; c < columns->Count(); ++c) {
        TListColumn* column = columns->Items(c);
        ConvertText(converter, column->Caption(), [&](std::string t) { column->SetCaption(t); });
    }
    for (int i = 0; i < view->ItemCount(); ++i) {
        TListItem* item = view->Items(i);
        ConvertText(converter, item->Caption(), [&](std::string t) { item->SetCaption(t); });
        TStrings* subItems = item->SubItems();
        const int shown = std::min(subItems->Count(), columns->Count() - 1);
        for (int s = 0; s < shown; ++s)
            ConvertText(converter, subItems->Strings(s), [&](std::string t) { subItems->SetStrings(s, t); });
    }
}

// The range and multi-select panel, through its published texts and the list
// views it owns.
void ConvertSelectPanel(const TCodeConverter& converter, TComponent* panel) {
    ConvertEachLine(converter, StringsProperty(panel, "ChildHints"));
    ConvertEachLine(converter, StringsProperty(panel, "BeginWords"));
    ConvertEachLine(converter, StringsProperty(panel, "FinalWords"));
    ConvertTextProperty(converter, panel, "HintWord", 2);
    for (int i = 0; i < panel->ComponentCount(); ++i)
        if (auto* view = dynamic_cast<TListView*>(panel->Components(i))) ConvertListView(converter, view);
}

void ConvertTreeView(const TCodeConverter& converter, TTreeView* tree) {
    TTreeNodes* nodes = tree->Items();
    for (TTreeNode* node = nodes->GetFirstNode(); node; node = node->GetNext())
        ConvertText(converter, node->Text(), [&](std::string t) { node->SetText(t); });
}

void ConvertStringGrid(const TCodeConverter& converter, TStringGrid* grid) {
    for (int row = 0; row < grid->RowCount(); ++row)
        for (int col = 0; col < grid->ColCount(); ++col)
            ConvertText(converter, grid->Cells(col, row), [&](std::string t) { grid->SetCells(col, row, t); });
}

}  // namespace

// ---- the component ----------------------------------------------------------------

const TClassInfo& TCodeConverter::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c("TCodeConverter", &TComponent::StaticClass(),
                     [](TComponent* owner) { return new TCodeConverter(owner); });
        c.Add(TypedProperty("DesignType", DesignTypeType(), &TCodeConverter::DesignType,
                            &TCodeConverter::SetDesignType));
        return c;
    }();
    return info;
}

TCodeConverter::TCodeConverter(TComponent* owner) : TComponent(owner) {
    const TVelmoraIniC config;
    sysCodePage_ = config.SysCodePage();
    uiCodePage_ = config.UICodePage();
    dbCodePage_ = config.DBCodePage();
    uiConvertMode_ = config.UIConvertMode();
    dbConvertMode_ = config.DBConvertMode();
    if (uiConvertMode_ != 0) translator_ = std::make_unique<TTranslator>();
}

TCodeConverter::~TCodeConverter() = default;

// ---- values -----------------------------------------------------------------------

Variant TCodeConverter::ConvertValue(int direction, const Variant& value) const {
    Variant result = value;
    if ((direction == 1 || direction == 2) && translator_) ConvertInPlace(*translator_, direction, result);
    return result;
}

Variant TCodeConverter::ProgramToUI(const Variant& value) const { return ConvertValue(uiConvertMode_, value); }

Variant TCodeConverter::UIToProgram(const Variant& value) const noexcept {
    try {
        return uiConvertMode_ == 2 ? ConvertValue(1, value) : value;
    } catch (...) {
        return value;
    }
}

Variant TCodeConverter::DBToUI(const Variant& value) const { return ConvertValue(dbConvertMode_, value); }

Variant TCodeConverter::UIToDB(const Variant& value) const noexcept {
    try {
        if (dbConvertMode_ == 1) return ConvertValue(2, value);
        if (dbConvertMode_ == 2) return ConvertValue(1, value);
        return value;
    } catch (...) {
        return value;
    }
}

std::string TCodeConverter::Big5ToGB(std::string_view text) const {
    if (text.empty() || !translator_) return std::string(text);
    return translator_->BIG5toGB(text);
}

std::string TCodeConverter::GBToBig5(std::string_view text) const {
    if (text.empty() || !translator_) return std::string(text);
    return translator_->GBtoBIG5(text);
}

// ---- windows ----------------------------------------------------------------------

void TCodeConverter::SetModeFont(int mode, TFont* font) {
    if (!font) return;
    switch (mode) {
        case 0: case 1: case 4:
            font->SetName(kModeFontName);
            font->SetCharset(GB2312_CHARSET);
            break;
        case 2: case 3:
            font->SetName(kModeFontName);
            font->SetCharset(CHINESEBIG5_CHARSET);
            break;
        default:
            break;
    }
}

void TCodeConverter::ConvertFormCaption(TCustomForm* form) const {
    if (!form || sysCodePage_ != "950") return;
    form->SetCaption(ConvertValue(2, Variant(form->Caption())).AsString());
}

const TCodeConverter::ExceptLine* TCodeConverter::FindException(std::string_view componentName) const {
    for (const ExceptLine& line : exceptList_)
        if (SameText(line.name, componentName)) return &line;
    return nullptr;
}

void TCodeConverter::ConvertFormExcept(TCustomForm* form, const Variant& list, bool includeGridsAndTrees) {
    if (!translator_) return;
    exceptList_.clear();
    if (list.IsArray()) {
        for (const Variant& element : list.Elements()) {
            ExceptLine line;
            if (element.IsArray()) {
                const std::vector<Variant>& fields = element.Elements();
                if (fields.empty()) continue;
                line.name = fields.front().AsString();
                for (size_t i = 1; i < fields.size(); ++i) line.keep.push_back(fields[i].AsString());
            } else {
                line.name = element.AsString();
            }
            exceptList_.push_back(std::move(line));
        }
    }
    ConvertForm(form, true, includeGridsAndTrees);
}

void TCodeConverter::ConvertForm(TCustomForm* form, bool useExceptList, bool includeGridsAndTrees) {
    if (!translator_ || !form) return;
    const int mode = uiConvertMode_;
    ConvertFormCaption(form);
    ConvertHint(*this, form, mode);
    SetModeFont(mode, Screen()->IconFont());
    SetModeFont(mode, Screen()->HintFont());
    SetModeFont(mode, Screen()->MenuFont());
    // The hint window takes the hint font when hints are switched on again.
    if (Application()->ShowHint()) {
        Application()->SetShowHint(false);
        Application()->SetShowHint(true);
    }
    if (mode == 0) return;

    for (int i = 0; i < form->ComponentCount(); ++i) {
        TComponent* c = form->Components(i);
        if (useExceptList) {
            if (const ExceptLine* line = FindException(c->Name())) {
                TrySetPropValueByPath(c, "ParentFont", Variant(false));
                if (line->KeepsAll()) continue;
                if (!line->Keeps("Caption")) ConvertCaption(*this, c, mode);
                if (!line->Keeps("Hint")) ConvertHint(*this, c, mode);
                if (!line->Keeps("Font")) ConvertFont(c, "Font", mode);
                if (!line->Keeps("TitleFont")) ConvertFont(c, "TitleFont", mode);
                if (!line->Keeps("Items")) ConvertItems(*this, c, mode);
                if (!line->Keeps("Lines")) ConvertLinesProperty(*this, c, mode);
                if (!line->Keeps("Style")) ConvertStyle(c, mode);
                if (!line->Keeps("Panels")) ConvertPanels(*this, c, mode);
                continue;
            }
        }
        ConvertFont(c, "Font", mode);
        ConvertFont(c, "TitleFont", mode);
        ConvertCaption(*this, c, mode);
        ConvertHint(*this, c, mode);
        ConvertItems(*this, c, mode);
        ConvertLinesProperty(*this, c, mode);
        ConvertStyle(c, mode);
        ConvertPanels(*this, c, mode);

        if (auto* tabs = dynamic_cast<TTabSet*>(c); tabs && mode == 2) ConvertTabSet(*this, tabs);
        if (auto* menu = dynamic_cast<TMenu*>(c)) menu->SetOwnerDraw(true);

        if (mode != 2) continue;
        const TClassInfo& cls = c->ClassType();
        if (auto* view = dynamic_cast<TListView*>(c)) ConvertListView(*this, view);
        if (cls.InheritsFrom("TSelectPanel")) ConvertSelectPanel(*this, c);
        if (TCustomComboBox* combo = StandardComboBox(c)) ConvertStandardComboBox(combo);
        if (cls.InheritsFrom("TDBNavigator")) ConvertEachLine(*this, StringsProperty(c, "Hints"));
        if (!includeGridsAndTrees) continue;
        if (auto* tree = dynamic_cast<TTreeView*>(c)) ConvertTreeView(*this, tree);
        if (auto* grid = dynamic_cast<TStringGrid*>(c)) ConvertStringGrid(*this, grid);
    }
}

// ---- messages ---------------------------------------------------------------------

int TCodeConverter::ShowMessageDlg(const std::string& text, TMsgDlgType type, const TMsgDlgButtons& buttons) {
    if (text.empty()) return 0;
    std::string shown = text;
    // Six trailing blanks widen GB dialogs so that the text is not cut at the right edge.
    if (uiCodePage_ == "936" || sysCodePage_ == "936") shown += "      ";
    TFormPtr<TForm> dialog(CreateMessageDialog(shown, type, buttons));
    if (auto* owner = dynamic_cast<TCustomForm*>(Owner())) {
        if (owner->WindowState() == TWindowState::wsMinimized) owner->SetWindowState(TWindowState::wsNormal);
        dialog->SetCaption(owner->Caption());
    }
    SetModeFont(uiConvertMode_, dialog->Font());
    return dialog->ShowModal();
}
