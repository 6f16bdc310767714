#pragma once
// Language files and the language controller.
//
// A language file (".Lng") is an XML document holding the texts of one package: a
// window class, a data-module class or another class with messages. The attributes of
// the root element apply to the window or data module itself; the attributes of the
// first element (in document order) whose tag equals a component's name apply to that
// component; each attribute name is a property path ("Caption", "Font.Name",
// "Items_3", "Columns.Items_2.Title.Caption") and its value the text to assign.
// Messages are the "Msg" attribute of the element named by the message identifier.
//
// Files lie in <install folder>/MultiLanguage/<CHS|CHT|ENG>/, the code chosen by the
// user-interface code page (936, 950, 437).
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/classes/Component.h"
#include "platform/classes/StringList.h"
#include "platform/core/Exception.h"
#include "platform/core/Variant.h"
#include "platform/xml/XmlDocument.h"

VELMORA_DECLARE_EXCEPTION(LanguageControllerError, Exception);

// Which installation's configuration a language or code-page component reads.
enum class TDesignType { dtClient, dtServer };
const TTypeInfo& DesignTypeType();   // "TDesignType", for published properties

// The language folder below an installation folder for a user-interface code page:
// installPath + "MultiLanguage/" + CHS|CHT|ENG + "/", or "" for another code page.
// Does not look at the disk.
std::string LanguageFolderFor(std::string_view installPath, std::string_view uiCodePage);
// The configured language folder of the client or server installation; "" when the
// code page has no language or the folder does not exist (files are then looked for by
// their bare names in the current directory).
std::string GetLanguageFolder(TDesignType designType);

// Sets a property by dotted path: every segment but the last names an object-valued
// property (a missing one raises); an unknown final property does nothing; texts are
// converted to the property's kind (constant names such as "clRed", enumeration and
// set names).
void SetPropertyByPath(TObject* object, std::string_view path, const Variant& value);
// The same, false instead of any error.
bool TrySetPropertyByPath(TObject* object, std::string_view path, const Variant& value) noexcept;

// The message text `messageId` of a package's language file, else `defaultText`.
// The file is parsed anew on every call. Never raises.
std::string ReadLangMessage(TDesignType designType, std::string_view packageName, std::string_view messageId,
                            std::string_view defaultText) noexcept;

// Called with the component and the element about to be applied or just applied.
using TLoadComponentEvent = std::function<void(TObject* sender, TComponent* xComponent, const TXmlNode& xComponentNode)>;

// Applies the attributes of one element to one component.
class ILangRead {
public:
    virtual ~ILangRead() = default;
    virtual TComponent* GetComponent() const = 0;
    virtual TXmlNode GetNode() const = 0;
    virtual void SetComponent(TComponent* component) = 0;
    virtual void SetNode(const TXmlNode& node) = 0;
    // An integer key applies the attribute at that position, a text key the attribute
    // of that name; anything else, or a missing attribute, does nothing.
    virtual void ReadAttribute(const Variant& key) = 0;
    // Applies every attribute in order.
    virtual void ReadAll() = 0;
};

class TComponentRead : public ILangRead {
public:
    TComponentRead(TComponent* component, const TXmlNode& element);
    TComponent* GetComponent() const override { return component_; }
    TXmlNode GetNode() const override { return node_; }
    void SetComponent(TComponent* component) override { component_ = component; }
    void SetNode(const TXmlNode& node) override { node_ = node; }
    void ReadAttribute(const Variant& key) override;
    void ReadAll() override;

protected:
    // Walks the attribute's property path from the component and assigns its text.
    // Anything that does not fit is ignored.
    virtual void ApplyAttribute(const TXmlNode& attribute);

private:
    TComponent* component_;
    TXmlNode node_;
};

// Combo boxes keep their selected item while their item list is replaced.
class TCustomComboBoxRead : public TComponentRead {
public:
    using TComponentRead::TComponentRead;
    void ReadAll() override;
};

class TwwDBCustomComboBoxRead : public TComponentRead {
public:
    using TComponentRead::TComponentRead;
    void ReadAll() override;
};

class TReaderFactory {
public:
    // The reader for the component's class: data-aware combo boxes
    // (TwwDBCustomComboBox), standard combo boxes (TCustomComboBox), anything else.
    static std::unique_ptr<ILangRead> CreateReader(TComponent* component, const TXmlNode& element);
};

// Applies one parsed language document to components.
class TLangReader {
public:
    explicit TLangReader(const TXmlDocument* document);
    virtual ~TLangReader() = default;

    // A form or data module first gets the root element's texts; then a component
    // whose name is not excluded gets the texts of the first element of its name; then
    // every owned component is read the same way.
    virtual void ReadComponent(TComponent* component);

    // Names never translated by their element (blanks trimmed, any case).
    std::vector<std::string> ExcludeControls;
    TLoadComponentEvent BeforeLoadComponent;
    TLoadComponentEvent AfterLoadComponent;

private:
    bool Excluded(std::string_view name) const;
    void Apply(TComponent* component, const TXmlNode& element);
    const TXmlDocument* document_;
};

// Loads one language file (or an in-memory document) and applies it.
class TLanguageController : public TComponent {
    VELMORA_CLASS(TLanguageController)
public:
    explicit TLanguageController(TComponent* owner);
    ~TLanguageController() override;

    const std::string& FileName() const noexcept { return fileName_; }
    // A different path is stored, XMLText is cleared and the controller deactivated.
    void SetFileName(const std::string& fileName);

    // A whole language document in memory, used instead of FileName when not empty.
    // Changing it deactivates the controller (and a non-empty text clears FileName).
    TStrings* XMLText() const noexcept;

    TStrings* ExcludeControls() const noexcept;
    // Copies the list (nullptr clears it), also into the current reader.
    void SetExcludeControls(const TStrings* list);

    // True while a document with a root element is loaded.
    bool Active() const noexcept;
    // Activating parses XMLText or FileName and makes a new reader; an empty FileName
    // raises "Cannot Find File %s!", a parse error raises the parser's reason (both
    // LanguageControllerError, leaving the controller inactive).
    void SetActive(bool value);
    // Ends reading from a form description: a remembered Active = true takes effect.
    void Loaded() override;

    // The reader of the loaded document; raises "No active LanguageController!" when
    // inactive.
    TLangReader* Reader() const;

    TLoadComponentEvent BeforeLoadComponent;
    TLoadComponentEvent AfterLoadComponent;
    TNotifyEvent BeforeClose;
    TNotifyEvent BeforeOpen;
    TNotifyEvent AfterOpen;
    TNotifyEvent AfterClose;

private:
    void XMLTextChanged();
    void DropDocument();

    std::string fileName_;
    std::unique_ptr<TXmlDocument> document_;
    std::unique_ptr<TStringList> excludeControls_;
    std::unique_ptr<TLangReader> reader_;
    std::unique_ptr<TStringList> xmlText_;
    bool storedActive_ = false;
};

// The controller of windows: its file is <language folder of DesignType>/<package>.Lng.
class TQvLangController : public TLanguageController {
    VELMORA_CLASS(TQvLangController)
public:
    explicit TQvLangController(TComponent* owner);

    TDesignType DesignType() const noexcept { return designType_; }
    void SetDesignType(TDesignType value) { designType_ = value; }

    const std::string& LangPackageName() const noexcept { return langPackageName_; }
    // A different name sets FileName to the package's file (and so deactivates); the
    // same name changes nothing and keeps an open document open.
    void SetLangPackageName(const std::string& name);

private:
    TDesignType designType_ = TDesignType::dtClient;
    std::string langPackageName_;
};
