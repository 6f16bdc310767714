#include "src/lib/LibRTTI.h"

#include "platform/classes/Component.h"
#include "platform/classes/IntegerConsts.h"
#include "platform/core/Strings.h"
#include "platform/db/DataSource.h"
#include "platform/db/Fields.h"
#include "platform/vcl/DBGrid.h"
#include "platform/vcl/ListBox.h"
#include "platform/vcl/PageControl.h"
#include "src/lib/LibStrs.h"

namespace {
bool IsOrdinal(TTypeKind kind) {
    return kind == TTypeKind::tkInteger || kind == TTypeKind::tkEnumeration || kind == TTypeKind::tkSet;
}
}  // namespace

TTypeKind GetPropKind(const TObject* object, std::string_view name) noexcept { return PropKind(object, name); }

std::string GetStrPropByName(const TObject* object, std::string_view name) {
    return PropKind(object, name) == TTypeKind::tkString ? GetPropValue(object, name).AsString() : std::string();
}

void SetStrPropByName(TObject* object, std::string_view name, std::string_view value) {
    if (PropKind(object, name) == TTypeKind::tkString) SetPropValue(object, name, Variant(value));
}

int64_t GetOrdPropByName(const TObject* object, std::string_view name) {
    if (!IsOrdinal(PropKind(object, name))) return 0;
    const Variant v = GetPropValue(object, name);
    // A boolean's ordinal is 1 for True (as a number a variant True is -1).
    return v.Type() == VarType::Boolean ? (v.AsBoolean() ? 1 : 0) : v.AsInteger();
}

void SetOrdPropByName(TObject* object, std::string_view name, int64_t value) {
    if (IsOrdinal(PropKind(object, name))) SetPropValue(object, name, Variant(value));
}

TMethod GetMethodPropByName(const TObject* object, std::string_view name) { return GetMethodProp(object, name); }

void SetMethodPropByName(TObject* object, std::string_view name, const TMethod& method) {
    if (PropKind(object, name) == TTypeKind::tkMethod) SetMethodProp(object, name, method);
}

namespace {
// Calls `apply` for each component of the owner bound to the field.
template <typename Apply>
void ForFieldControls(TComponent* owner, std::string_view field, const Apply& apply) {
    for (int i = 0; i < owner->ComponentCount(); ++i) {
        TComponent* c = owner->Components(i);
        if (PropKind(c, "DataField") == TTypeKind::tkString && SameText(GetStrPropByName(c, "DataField"), field))
            apply(c);
    }
}

// Controls that show their own colours and take only the key colour. They are
// known by class name: the value-mapped check box belongs to a layer above.
bool KeepsItsColour(const TComponent* c) {
    const TClassInfo& cls = c->ClassType();
    return cls.InheritsFrom("TwwDBComboBox") || cls.InheritsFrom("TDBRadioGroup") || cls.InheritsFrom("TFDbCheckBox");
}
}  // namespace

void SetFieldControlsColor(TComponent* owner, std::string_view fieldList, std::string_view separator,
                           int32_t color) {
    if (!owner) return;
    const bool keyColour = color == RGB(0, 200, 200);
    std::string rest(fieldList);
    for (std::string entry = Trim(CutToken(rest, separator)); !entry.empty(); entry = Trim(CutToken(rest, separator)))
        ForFieldControls(owner, entry, [&](TComponent* c) {
            if (keyColour || !KeepsItsColour(c)) SetOrdPropByName(c, "Color", color);
        });
}

void SetFieldControlsEnabled(TComponent* owner, std::string_view fieldList, std::string_view separator,
                             bool enabled) {
    if (!owner) return;
    std::string rest(fieldList);
    while (!rest.empty()) {
        std::string entry = Trim(CutToken(rest, separator));
        entry = entry.substr(0, entry.find(' '));
        if (entry.empty()) continue;
        ForFieldControls(owner, entry, [&](TComponent* c) { SetOrdPropByName(c, "Enabled", enabled ? 1 : 0); });
    }
}

namespace {
const std::vector<std::string>& DataSetEventNames() {
    static const std::vector<std::string> names = {"AfterEdit",   "AfterInsert", "AfterOpen",  "AfterPost",
                                                   "BeforeEdit",  "BeforeInsert", "BeforeOpen", "BeforePost",
                                                   "BeforeScroll", "AfterScroll"};
    return names;
}
}  // namespace

std::vector<TSavedEvent> SaveAndClearDataSetEvents(TDataSet* dataSet) {
    return SaveAndClearEvents(dataSet, DataSetEventNames());
}

void RestoreDataSetEvents(TDataSet* dataSet, const std::vector<TSavedEvent>& saved) { RestoreEvents(dataSet, saved); }

TDataSourceEvents SaveAndClearDataSourceEvents(TDataSource* dataSource) {
    TDataSourceEvents saved;
    if (!dataSource) return saved;
    saved.DataSet = SaveAndClearDataSetEvents(dataSource->DataSet());
    saved.DataSource = SaveAndClearEvents(dataSource, {"OnDataChange", "OnStateChange"});
    return saved;
}

void RestoreDataSourceEvents(TDataSource* dataSource, const TDataSourceEvents& saved) {
    if (!dataSource) return;
    RestoreDataSetEvents(dataSource->DataSet(), saved.DataSet);
    RestoreEvents(dataSource, saved.DataSource);
}

bool HasBrowseRecord(const TDataSet* dataSet) noexcept {
    try {
        return dataSet && dataSet->Active() && dataSet->State() == TDataSetState::dsBrowse &&
               !(dataSet->Bof() && dataSet->Eof());
    } catch (...) {
        return false;
    }
}

bool SetFieldValue(TField* field, const std::string& text, bool editText) {
    if (!field) return false;
    struct ReadOnlyLifted {
        TField* field;
        bool was;
        ~ReadOnlyLifted() { field->SetReadOnly(was); }
    } lifted{field, field->ReadOnly()};
    field->SetReadOnly(false);
    // The edit text applies the field's edit format (thousands separators and the like).
    if (editText && (dynamic_cast<TIntegerField*>(field) || dynamic_cast<TFloatField*>(field)))
        field->SetText(text);
    else
        field->SetAsString(text);
    return true;
}

void FitGridColumns(TwwDBGrid* grid) {
    if (!grid || !grid->DataSource() || !grid->DataSet() || !grid->DataSet()->Active() || grid->FieldCount() == 0)
        return;
    // The height of a horizontal scroll bar as the system reports it (the
    // classic metric; the grid keeps room for one).
    constexpr int ScrollBarHeight = 17;
    struct Disabled {
        TwwDBGrid* grid;
        bool was;
        ~Disabled() { grid->SetEnabled(was); }
    } disabled{grid, grid->Enabled()};
    grid->SetEnabled(false);

    const int first = grid->IndicatorOffset();
    const int last = first + grid->FieldCount() - 1;
    int sum = ScrollBarHeight + 2;
    for (int col = 0; col <= last; ++col) sum += grid->ColWidths(col) + grid->GridLineWidth();
    if (sum < grid->ClientWidth()) {
        const int extra = (grid->ClientWidth() - sum) / grid->FieldCount();
        for (int col = first; col <= last; ++col) grid->SetColWidths(col, grid->ColWidths(col) + extra);
    } else if (TWinControl* parent = grid->Parent()) {
        parent->SetClientWidth(sum);
    }
}

void CopySelectedItems(const TCustomListBox* source, TCustomListBox* target) {
    if (!source || !target) return;
    const TStrings* from = source->Items();
    TStrings* to = target->Items();
    for (int i = 0; i < from->Count(); ++i)
        if (source->Selected(i) && to->IndexOf(from->Strings(i)) < 0) to->Add(from->Strings(i));
}

TPageLastControls GetLastControlsOfPages(const TPageControl* pageControl) {
    TPageLastControls result;
    if (!pageControl) return result;
    constexpr int MaxPages = 16;
    const int pageCount = pageControl->PageCount() < MaxPages ? pageControl->PageCount() : MaxPages;
    std::vector<TWinControl*> last(static_cast<size_t>(pageCount), nullptr);
    if (TComponent* owner = pageControl->Owner())
        for (int i = 0; i < owner->ComponentCount(); ++i) {
            auto* control = dynamic_cast<TWinControl*>(owner->Components(i));
            if (!control || !control->Visible() || !control->Enabled()) continue;
            const auto* page = dynamic_cast<const TTabSheet*>(control->Parent());
            if (!page || page->PageControl() != pageControl) continue;
            const int index = page->PageIndex();
            if (index >= pageCount) continue;
            TWinControl*& entry = last[static_cast<size_t>(index)];
            if (!entry || control->TabOrder() > entry->TabOrder()) entry = control;
        }
    int count = pageCount;
    for (const char* trailing : {"TbsBrowse", "TbsUDF"})
        if (count > 0 && SameText(pageControl->Pages(count - 1)->Name(), trailing)) --count;
    for (int i = 0; i < count; ++i)
        if (TWinControl* control = last[static_cast<size_t>(i)]) {
            result.Names.push_back(control->Name());
            result.LastControl = control;
        }
    return result;
}
