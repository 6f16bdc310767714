#include "src/language/LanguageController.h"

#include <charconv>
#include <filesystem>

#include "platform/classes/Collection.h"
#include "platform/classes/DataModule.h"
#include "platform/classes/PropertyAccess.h"
#include "platform/core/Paths.h"
#include "platform/core/Strings.h"
#include "platform/vcl/ComboBox.h"
#include "platform/vcl/Form.h"
#include "platform/vcl/ListView.h"
#include "platform/vcl/TreeView.h"
#include "src/server/VelmoraINI.h"

// --- folders ----------------------------------------------------------------------

std::string LanguageFolderFor(std::string_view installPath, std::string_view uiCodePage) {
    const char* code = uiCodePage == "936" ? "CHS" : uiCodePage == "950" ? "CHT" : uiCodePage == "437" ? "ENG" : nullptr;
    if (!code) return {};
    return JoinPath(installPath, std::string("MultiLanguage/") + code + "/");
}

std::string GetLanguageFolder(TDesignType designType) {
    std::string installPath, uiCodePage;
    if (designType == TDesignType::dtServer) {
        const TVelmoraIniS config;
        installPath = config.InstallPath();
        uiCodePage = config.UICodePage();
    } else {
        const TVelmoraIniC config;
        installPath = config.InstallPath();
        uiCodePage = config.UICodePage();
    }
    const std::string folder = LanguageFolderFor(installPath, uiCodePage);
    std::error_code ec;
    return !folder.empty() && std::filesystem::is_directory(folder, ec) ? folder : std::string();
}

// --- property paths ---------------------------------------------------------------

void SetPropertyByPath(TObject* object, std::string_view path, const Variant& value) {
    SetPropValueByPath(object, path, value);
}

bool TrySetPropertyByPath(TObject* object, std::string_view path, const Variant& value) noexcept {
    return TrySetPropValueByPath(object, path, value);
}

// --- messages ---------------------------------------------------------------------

std::string ReadLangMessage(TDesignType designType, std::string_view packageName, std::string_view messageId,
                            std::string_view defaultText) noexcept {
    try {
        const std::string file = GetLanguageFolder(designType) + std::string(packageName) + ".Lng";
        std::error_code ec;
        if (!std::filesystem::is_regular_file(file, ec)) return std::string(defaultText);
        TXmlDocument doc;
        if (!doc.LoadFile(file)) return std::string(defaultText);
        const TXmlNode root = doc.DocumentElement();
        if (!root) return std::string(defaultText);
        const TXmlNode node = root.SelectSingleNode("//" + std::string(messageId) + "/@Msg");
        if (!node) return std::string(defaultText);
        return node.Kind() == TXmlNodeKind::Attribute ? node.Text() : std::string();
    } catch (...) {
        return std::string(defaultText);
    }
}

// --- readers ----------------------------------------------------------------------

namespace {

// A path segment "Name_N": the name part and N. N is -1 when the text after the first
// "_" is not a decimal number (or there is no "_").
struct Segment {
    std::string name;
    int index = -1;
    bool underscore = false;
};

Segment ParseSegment(std::string_view text) {
    Segment seg;
    const size_t us = text.find('_');
    if (us == std::string_view::npos) {
        seg.name = std::string(text);
        return seg;
    }
    seg.underscore = true;
    seg.name = std::string(text.substr(0, us));
    const std::string_view digits = text.substr(us + 1);
    int n = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), n);
    if (!digits.empty() && ec == std::errc() && end == digits.data() + digits.size() && n >= 0) seg.index = n;
    return seg;
}

bool IsClass(const TObject* object, std::string_view className) {
    return object && object->ClassType().InheritsFrom(className);
}

// Notes a combo box's selected item and sets it back when the reading is done.
class KeepItemIndex {
public:
    explicit KeepItemIndex(TComponent* combo) : combo_(combo), index_(GetPropValue(combo, "ItemIndex")) {}
    ~KeepItemIndex() {
        if (!index_.IsEmpty()) TrySetPropValueByPath(combo_, "ItemIndex", index_);
    }
    KeepItemIndex(const KeepItemIndex&) = delete;
    KeepItemIndex& operator=(const KeepItemIndex&) = delete;

private:
    TComponent* combo_;
    Variant index_;
};

}  // namespace

TComponentRead::TComponentRead(TComponent* component, const TXmlNode& element) : component_(component), node_(element) {}

void TComponentRead::ReadAttribute(const Variant& key) {
    if (!node_ || node_.AttributeCount() == 0) return;
    TXmlNode attribute;
    if (key.Type() == VarType::Integer) attribute = node_.Attribute(key.AsInt());
    else if (key.IsString()) attribute = node_.Attribute(key.StringRef());
    if (attribute) ApplyAttribute(attribute);
}

void TComponentRead::ReadAll() {
    const int count = node_.AttributeCount();
    for (int i = 0; i < count; ++i) ReadAttribute(Variant(i));
}

void TComponentRead::ApplyAttribute(const TXmlNode& attribute) {
    const std::string path = attribute.Name();
    const std::string value = attribute.Text();
    std::vector<std::string> segments = SplitString(path, '.');
    for (std::string& s : segments) s = Trim(s);

    TObject* target = component_;
    size_t last = segments.size() - 1;
    for (size_t i = 0; i + 1 < segments.size(); ++i) {
        const Segment seg = ParseSegment(segments[i]);
        if (!seg.underscore) {
            target = GetObjectProp(target, seg.name);
            if (!target) return;
            continue;
        }
        if (seg.index < 0 || (!SameText(seg.name, "Items") && !SameText(seg.name, "Columns"))) {
            last = i;   // this segment's name part ends the path
            break;
        }
        // An index beyond the count names nothing: the attribute is ignored rather
        // than applied to the list itself (whose Caption or Text is no item's).
        if (auto* collection = dynamic_cast<TCollection*>(target)) {
            if (seg.index >= collection->Count()) return;
            target = collection->Items(seg.index);
        } else if (auto* view = dynamic_cast<TListView*>(target)) {
            const bool columns = SameText(seg.name, "Columns");
            if (seg.index >= (columns ? view->Columns()->Count() : view->ItemCount())) return;
            target = columns ? static_cast<TObject*>(view->Columns()->Items(seg.index)) : view->Items(seg.index);
        } else if (auto* tree = dynamic_cast<TTreeView*>(target)) {
            if (!SameText(seg.name, "Items") || seg.index >= tree->Items()->Count()) return;
            target = tree->Items()->Item(seg.index);
        } else {
            target = GetObjectProp(target, seg.name);
            if (!target) return;
        }
    }

    const Segment final = ParseSegment(segments[last]);
    if (target == component_ && final.index >= 0) {
        target = GetObjectProp(target, final.name);
        if (!target) return;
    }
    if (auto* lines = dynamic_cast<TStrings*>(target)) {
        if (final.index < 0) return;
        while (lines->Count() <= final.index) lines->Add("");
        lines->SetStrings(final.index, value);
        return;
    }
    TrySetPropertyByPath(target, final.name, Variant(value));
}

void TCustomComboBoxRead::ReadAll() {
    KeepItemIndex keep(GetComponent());
    TComponentRead::ReadAll();
}

void TwwDBCustomComboBoxRead::ReadAll() {
    KeepItemIndex keep(GetComponent());
    TComponentRead::ReadAll();
}

std::unique_ptr<ILangRead> TReaderFactory::CreateReader(TComponent* component, const TXmlNode& element) {
    if (IsClass(component, "TwwDBCustomComboBox")) return std::make_unique<TwwDBCustomComboBoxRead>(component, element);
    if (dynamic_cast<TCustomComboBox*>(component)) return std::make_unique<TCustomComboBoxRead>(component, element);
    return std::make_unique<TComponentRead>(component, element);
}

TLangReader::TLangReader(const TXmlDocument* document) : document_(document) {}

bool TLangReader::Excluded(std::string_view name) const {
    const std::string_view trimmed = TrimView(name);
    for (const std::string& entry : ExcludeControls)
        if (SameText(TrimView(entry), trimmed)) return true;
    return false;
}

void TLangReader::Apply(TComponent* component, const TXmlNode& element) {
    if (BeforeLoadComponent) BeforeLoadComponent(nullptr, component, element);
    TReaderFactory::CreateReader(component, element)->ReadAll();
    if (AfterLoadComponent) AfterLoadComponent(nullptr, component, element);
}

void TLangReader::ReadComponent(TComponent* component) {
    if (!component) return;
    const TXmlNode root = document_->DocumentElement();
    if ((dynamic_cast<TCustomForm*>(component) || dynamic_cast<TDataModule*>(component)) && root) Apply(component, root);
    if (!component->Name().empty() && !Excluded(component->Name()) && root) {
        // A component name is an identifier, so "//" + name is a plain element test.
        if (const TXmlNode element = root.SelectSingleNode("//" + component->Name())) Apply(component, element);
    }
    for (int i = 0; i < component->ComponentCount(); ++i) ReadComponent(component->Components(i));
}

// --- controllers ------------------------------------------------------------------

const TClassInfo& TLanguageController::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c("TLanguageController", &TComponent::StaticClass(),
                     [](TComponent* owner) { return new TLanguageController(owner); });
        c.Add(Property("Active", &TLanguageController::Active, &TLanguageController::SetActive));
        c.Add(ObjectProperty("ExcludeControls", &TLanguageController::ExcludeControls,
                             &TLanguageController::SetExcludeControls));
        c.Add(Property("FileName", &TLanguageController::FileName, &TLanguageController::SetFileName));
        c.Add(ObjectProperty("XMLText", &TLanguageController::XMLText));
        c.Add(EventProperty("AfterClose", &TLanguageController::AfterClose));
        c.Add(EventProperty("AfterOpen", &TLanguageController::AfterOpen));
        c.Add(EventProperty("BeforeClose", &TLanguageController::BeforeClose));
        c.Add(EventProperty("BeforeOpen", &TLanguageController::BeforeOpen));
        c.Add(EventProperty("AfterLoadComponent", &TLanguageController::AfterLoadComponent));
        c.Add(EventProperty("BeforeLoadComponent", &TLanguageController::BeforeLoadComponent));
        return c;
    }();
    return info;
}

TLanguageController::TLanguageController(TComponent* owner)
    : TComponent(owner), excludeControls_(std::make_unique<TStringList>()), xmlText_(std::make_unique<TStringList>()) {
    xmlText_->OnChange = [this](TObject*) { XMLTextChanged(); };
}

TLanguageController::~TLanguageController() { xmlText_->OnChange = nullptr; }

TStrings* TLanguageController::XMLText() const noexcept { return xmlText_.get(); }

TStrings* TLanguageController::ExcludeControls() const noexcept { return excludeControls_.get(); }

void TLanguageController::SetFileName(const std::string& fileName) {
    if (fileName == fileName_) return;
    fileName_ = fileName;
    xmlText_->Clear();
    SetActive(false);
}

void TLanguageController::XMLTextChanged() {
    if (ComponentState().Contains(TComponentStateItem::csLoading)) return;
    if (xmlText_->Count() > 0) fileName_.clear();
    SetActive(false);
}

void TLanguageController::SetExcludeControls(const TStrings* list) {
    if (list) excludeControls_->Assign(list);
    else excludeControls_->Clear();
    if (reader_) reader_->ExcludeControls = excludeControls_->ToVector();
}

bool TLanguageController::Active() const noexcept { return document_ && document_->DocumentElement(); }

void TLanguageController::DropDocument() {
    reader_.reset();
    document_.reset();
}

void TLanguageController::SetActive(bool value) {
    if (ComponentState().Contains(TComponentStateItem::csLoading)) {
        storedActive_ = value;
        return;
    }
    if (value == Active()) return;
    if (!value) {
        if (BeforeClose) BeforeClose(this);
        DropDocument();
        if (AfterClose) AfterClose(this);
        return;
    }
    if (BeforeOpen) BeforeOpen(this);
    DropDocument();
    auto document = std::make_unique<TXmlDocument>();
    if (xmlText_->Count() > 0) {
        document->LoadXml(xmlText_->Text());
    } else {
        if (fileName_.empty()) throw LanguageControllerError("Cannot Find File " + fileName_ + "!");
        document->LoadFile(fileName_);
    }
    if (document->ErrorCode() != 0) throw LanguageControllerError(document->Reason());
    document_ = std::move(document);
    reader_ = std::make_unique<TLangReader>(document_.get());
    reader_->ExcludeControls = excludeControls_->ToVector();
    reader_->BeforeLoadComponent = BeforeLoadComponent;
    reader_->AfterLoadComponent = AfterLoadComponent;
    if (AfterOpen) AfterOpen(this);
}

void TLanguageController::Loaded() {
    if (storedActive_) {
        storedActive_ = false;
        SetActive(true);
    }
}

TLangReader* TLanguageController::Reader() const {
    if (!Active()) throw LanguageControllerError("No active LanguageController!");
    return reader_.get();
}

const TTypeInfo& DesignTypeType() {
    static const TTypeInfo type("TDesignType", TTypeKind::tkEnumeration, {"dtClient", "dtServer"});
    return type;
}

const TClassInfo& TQvLangController::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c("TQvLangController", &TLanguageController::StaticClass(),
                     [](TComponent* owner) { return new TQvLangController(owner); });
        c.Add(TypedProperty("DesignType", DesignTypeType(), &TQvLangController::DesignType,
                            &TQvLangController::SetDesignType));
        c.Add(Property("LangPackageName", &TQvLangController::LangPackageName, &TQvLangController::SetLangPackageName));
        return c;
    }();
    return info;
}

TQvLangController::TQvLangController(TComponent* owner) : TLanguageController(owner) {}

void TQvLangController::SetLangPackageName(const std::string& name) {
    if (name == langPackageName_) return;
    langPackageName_ = name;
    SetFileName(GetLanguageFolder(designType_) + name + ".Lng");
}
