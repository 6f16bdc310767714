#include "platform/classes/TypeInfo.h"

#include <map>
#include <mutex>

#include "platform/classes/Component.h"
#include "platform/core/Strings.h"

const char* TypeKindName(TTypeKind kind) noexcept {
    switch (kind) {
        case TTypeKind::tkInteger: return "tkInteger";
        case TTypeKind::tkEnumeration: return "tkEnumeration";
        case TTypeKind::tkFloat: return "tkFloat";
        case TTypeKind::tkString: return "tkString";
        case TTypeKind::tkSet: return "tkSet";
        case TTypeKind::tkClass: return "tkClass";
        case TTypeKind::tkMethod: return "tkMethod";
        case TTypeKind::tkUnknown: break;
    }
    return "tkUnknown";
}

TTypeInfo::TTypeInfo(std::string name, TTypeKind kind, std::vector<std::string> names,
                     std::vector<TIdentMapEntry> idents)
    : name_(std::move(name)), kind_(kind), names_(std::move(names)), idents_(std::move(idents)) {}

bool TTypeInfo::IsBoolean() const noexcept { return this == &BooleanType(); }

int TTypeInfo::EnumValue(std::string_view name) const noexcept {
    const auto t = TrimView(name);
    for (size_t i = 0; i < names_.size(); ++i)
        if (SameText(names_[i], t)) return static_cast<int>(i);
    return -1;
}

std::string TTypeInfo::EnumName(int64_t ordinal) const {
    if (ordinal >= 0 && ordinal < static_cast<int64_t>(names_.size())) return names_[static_cast<size_t>(ordinal)];
    return std::to_string(ordinal);
}

std::string TTypeInfo::SetToString(uint64_t mask) const {
    std::string out = "[";
    for (size_t i = 0; i < names_.size() && i < 64; ++i) {
        if (!(mask & (uint64_t{1} << i))) continue;
        if (out.size() > 1) out += ',';
        out += names_[i];
    }
    return out + "]";
}

uint64_t TTypeInfo::StringToSet(std::string_view text) const {
    auto t = TrimView(text);
    if (!t.empty() && t.front() == '[') {
        if (t.back() != ']') throw EConvertError("Invalid set value '" + std::string(text) + "'");
        t = TrimView(t.substr(1, t.size() - 2));
    }
    uint64_t mask = 0;
    if (t.empty()) return mask;
    for (const auto& part : SplitString(t, ',')) {
        const int bit = EnumValue(part);
        if (bit < 0 || bit >= 64)
            throw EConvertError("Invalid property element: " + Trim(part) + " is not a " + name_ + " element");
        mask |= uint64_t{1} << bit;
    }
    return mask;
}

bool TTypeInfo::IdentToInt(std::string_view ident, int64_t& value) const noexcept {
    const auto t = TrimView(ident);
    for (const auto& e : idents_)
        if (SameText(e.Name, t)) {
            value = e.Value;
            return true;
        }
    return false;
}

bool TTypeInfo::IntToIdent(int64_t value, std::string& ident) const {
    for (const auto& e : idents_)
        if (e.Value == value) {
            ident = e.Name;
            return true;
        }
    return false;
}

const TTypeInfo& IntegerType() {
    static const TTypeInfo t("Integer", TTypeKind::tkInteger);
    return t;
}
const TTypeInfo& BooleanType() {
    static const TTypeInfo t("Boolean", TTypeKind::tkEnumeration, {"False", "True"});
    return t;
}
const TTypeInfo& StringType() {
    static const TTypeInfo t("String", TTypeKind::tkString);
    return t;
}
const TTypeInfo& DoubleType() {
    static const TTypeInfo t("Double", TTypeKind::tkFloat);
    return t;
}
const TTypeInfo& ClassTypeInfo() {
    static const TTypeInfo t("TObject", TTypeKind::tkClass);
    return t;
}
const TTypeInfo& MethodType() {
    static const TTypeInfo t("TMethod", TTypeKind::tkMethod);
    return t;
}

// ---- TClassInfo ----

TClassInfo::TClassInfo(std::string name, const TClassInfo* parent, Factory create)
    : name_(std::move(name)), parent_(parent), create_(std::move(create)) {}

TComponent* TClassInfo::Create(TComponent* owner) const {
    if (!create_) throw EClassNotFound("Class " + name_ + " cannot be created by name");
    return create_(owner);
}

bool TClassInfo::InheritsFrom(const TClassInfo& other) const noexcept {
    for (const TClassInfo* c = this; c; c = c->parent_)
        if (c == &other) return true;
    return false;
}

bool TClassInfo::InheritsFrom(std::string_view className) const noexcept {
    for (const TClassInfo* c = this; c; c = c->parent_)
        if (SameText(c->name_, className)) return true;
    return false;
}

const TPropInfo* TClassInfo::FindProp(std::string_view name) const noexcept {
    if (name.empty()) return nullptr;
    for (const TClassInfo* c = this; c; c = c->parent_)
        for (const auto& p : c->own_)
            if (SameText(p.Name, name)) return &p;
    return nullptr;
}

std::vector<const TPropInfo*> TClassInfo::Props() const {
    std::vector<const TClassInfo*> chain;
    for (const TClassInfo* c = this; c; c = c->parent_) chain.push_back(c);
    std::vector<const TPropInfo*> out;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it)
        for (const auto& p : (*it)->own_) {
            bool replaced = false;
            for (auto& existing : out)
                if (SameText(existing->Name, p.Name)) {
                    existing = &p;   // a redeclaration keeps the parent's position
                    replaced = true;
                }
            if (!replaced) out.push_back(&p);
        }
    return out;
}

TClassInfo& TClassInfo::Add(TPropInfo prop) {
    own_.push_back(std::move(prop));
    return *this;
}

// ---- registry ----

namespace {
struct Registry {
    std::mutex lock;
    std::map<std::string, const TClassInfo*, LessText> classes;
};
Registry& TheRegistry() {
    static Registry r;
    return r;
}
}  // namespace

void RegisterClass(const TClassInfo& info) {
    auto& r = TheRegistry();
    std::lock_guard g(r.lock);
    r.classes[info.Name()] = &info;
}

void UnregisterClass(const TClassInfo& info) {
    auto& r = TheRegistry();
    std::lock_guard g(r.lock);
    auto it = r.classes.find(info.Name());
    if (it != r.classes.end() && it->second == &info) r.classes.erase(it);
}

const TClassInfo* GetClass(std::string_view name) noexcept {
    auto& r = TheRegistry();
    std::lock_guard g(r.lock);
    auto it = r.classes.find(name);
    return it == r.classes.end() ? nullptr : it->second;
}

const TClassInfo& FindClass(std::string_view name) {
    const TClassInfo* c = GetClass(name);
    if (!c) throw EClassNotFound("Class " + std::string(name) + " not found");
    return *c;
}

TComponent* CreateComponentByClassName(std::string_view className, TComponent* owner) {
    return FindClass(className).Create(owner);
}
