#include "platform/core/Variant.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <new>

#include "platform/core/Automation.h"
#include "platform/core/DateTime.h"
#include "platform/core/Strings.h"

struct Variant::ArrayData {
    std::vector<VarBounds> bounds;
    std::vector<Variant> items;
};

namespace {

[[noreturn]] void ConvertFailure(const Variant& v, const char* to) {
    throw EConvertError(VarQuote(v) + " is not a valid " + to);
}

std::string FormatDouble(double d) {
    if (std::isnan(d)) return "NAN";
    if (std::isinf(d)) return d > 0 ? "INF" : "-INF";
    char buf[32];
    auto r = std::to_chars(buf, buf + sizeof buf, d);
    return std::string(buf, r.ptr);
}

// Parses the whole (trimmed) text as a number. Accepts integers, decimals and
// exponents; a leading '+' is allowed.
bool ParseNumber(std::string_view text, double& out, bool& isInteger, int64_t& intOut) {
    std::string_view t = TrimView(text);
    if (!t.empty() && t.front() == '+') t.remove_prefix(1);
    if (t.empty()) return false;
    auto ri = std::from_chars(t.data(), t.data() + t.size(), intOut);
    if (ri.ec == std::errc() && ri.ptr == t.data() + t.size()) {
        isInteger = true;
        out = static_cast<double>(intOut);
        return true;
    }
    auto rd = std::from_chars(t.data(), t.data() + t.size(), out);
    if (rd.ec != std::errc() || rd.ptr != t.data() + t.size()) return false;
    isInteger = false;
    return true;
}

// A text read as a number: a numeric text, or "True"/"False" (-1 and 0, as
// booleans are numbers).
struct TextNumber {
    bool isInteger = false;
    int64_t i = 0;
    double d = 0;
};

bool ParseTextNumber(std::string_view text, TextNumber& n) {
    if (ParseNumber(text, n.d, n.isInteger, n.i)) return true;
    const std::string_view t = TrimView(text);
    if (!SameText(t, "true") && !SameText(t, "false")) return false;
    n.isInteger = true;
    n.i = SameText(t, "true") ? -1 : 0;
    n.d = static_cast<double>(n.i);
    return true;
}

int64_t RoundToInteger(const Variant& v, double d) {
    if (!std::isfinite(d) || d >= 9.2e18 || d <= -9.2e18) ConvertFailure(v, "integer value");
    return static_cast<int64_t>(std::nearbyint(d));
}

}  // namespace

// ---- construction and lifetime ----

Variant::Variant() noexcept : i_(0) {}
Variant::Variant(bool v) noexcept : type_(VarType::Boolean), b_(v) {}
Variant::Variant(int v) noexcept : type_(VarType::Integer), i_(v) {}
Variant::Variant(unsigned v) noexcept : type_(VarType::Integer), i_(v) {}
Variant::Variant(long v) noexcept : type_(VarType::Integer), i_(v) {}
Variant::Variant(long long v) noexcept : type_(VarType::Integer), i_(v) {}
Variant::Variant(unsigned long v) noexcept : type_(VarType::Integer), i_(static_cast<int64_t>(v)) {}
Variant::Variant(unsigned long long v) noexcept : type_(VarType::Integer), i_(static_cast<int64_t>(v)) {}
Variant::Variant(double v) noexcept : type_(VarType::Double), d_(v) {}
Variant::Variant(const char* v) : type_(VarType::String) { new (&s_) std::string(v ? v : ""); }
Variant::Variant(std::string v) noexcept : type_(VarType::String) { new (&s_) std::string(std::move(v)); }
Variant::Variant(std::string_view v) : type_(VarType::String) { new (&s_) std::string(v); }
Variant::Variant(TDateTime v) noexcept : type_(VarType::Date), d_(v.Value) {}
Variant::Variant(std::shared_ptr<IDispatch> v) noexcept {
    if (v) {
        type_ = VarType::Dispatch;
        new (&o_) std::shared_ptr<IDispatch>(std::move(v));
    } else {
        type_ = VarType::Null;
        i_ = 0;
    }
}

Variant::Variant(const Variant& other) : i_(0) { CopyFrom(other); }

Variant::Variant(Variant&& other) noexcept : i_(0) {
    switch (other.type_) {
        case VarType::String: new (&s_) std::string(std::move(other.s_)); break;
        case VarType::Array: new (&a_) std::shared_ptr<ArrayData>(std::move(other.a_)); break;
        case VarType::Dispatch: new (&o_) std::shared_ptr<IDispatch>(std::move(other.o_)); break;
        default: i_ = other.i_; break;
    }
    type_ = other.type_;
    other.Reset();
}

Variant& Variant::operator=(const Variant& other) {
    if (this != &other) {
        Variant copy(other);
        *this = std::move(copy);
    }
    return *this;
}

Variant& Variant::operator=(Variant&& other) noexcept {
    if (this != &other) {
        Reset();
        new (this) Variant(std::move(other));
    }
    return *this;
}

Variant::~Variant() { Reset(); }

void Variant::Reset() noexcept {
    switch (type_) {
        case VarType::String: s_.~basic_string(); break;
        case VarType::Array: a_.~shared_ptr(); break;
        case VarType::Dispatch: o_.~shared_ptr(); break;
        default: break;
    }
    type_ = VarType::Empty;
    i_ = 0;
}

void Variant::CopyFrom(const Variant& other) {
    switch (other.type_) {
        case VarType::String: new (&s_) std::string(other.s_); break;
        case VarType::Array: new (&a_) std::shared_ptr<ArrayData>(other.a_); break;
        case VarType::Dispatch: new (&o_) std::shared_ptr<IDispatch>(other.o_); break;
        default: i_ = other.i_; break;
    }
    type_ = other.type_;
}

Variant Variant::Null() noexcept {
    Variant v;
    v.type_ = VarType::Null;
    return v;
}

// ---- conversions ----

std::string Variant::AsString() const {
    switch (type_) {
        case VarType::Empty:
        case VarType::Null: return {};
        case VarType::Boolean: return b_ ? "True" : "False";
        case VarType::Integer: return std::to_string(i_);
        case VarType::Double: return FormatDouble(d_);
        case VarType::String: return s_;
        case VarType::Date: return DateTimeToText(TDateTime(d_));
        case VarType::Array: throw EVariantError("Invalid variant type conversion (Array to String)");
        case VarType::Dispatch: throw EVariantError("Invalid variant type conversion (Dispatch to String)");
    }
    return {};
}

int64_t Variant::AsInteger() const {
    switch (type_) {
        case VarType::Empty: return 0;
        case VarType::Boolean: return b_ ? -1 : 0;
        case VarType::Integer: return i_;
        case VarType::Double:
        case VarType::Date: return RoundToInteger(*this, d_);
        case VarType::String: {
            TextNumber n;
            if (!ParseTextNumber(s_, n)) ConvertFailure(*this, "integer value");
            return n.isInteger ? n.i : RoundToInteger(*this, n.d);
        }
        case VarType::Null: throw EVariantError("Could not convert variant of type (Null) into type (Integer)");
        default: throw EVariantError(std::string("Invalid variant type conversion (") + VarTypeName(type_) + " to Integer)");
    }
}

double Variant::AsDouble() const {
    switch (type_) {
        case VarType::Empty: return 0;
        case VarType::Boolean: return b_ ? -1 : 0;
        case VarType::Integer: return static_cast<double>(i_);
        case VarType::Double:
        case VarType::Date: return d_;
        case VarType::String: {
            TextNumber n;
            if (!ParseTextNumber(s_, n)) ConvertFailure(*this, "floating point value");
            return n.d;
        }
        case VarType::Null: throw EVariantError("Could not convert variant of type (Null) into type (Double)");
        default: throw EVariantError(std::string("Invalid variant type conversion (") + VarTypeName(type_) + " to Double)");
    }
}

bool Variant::AsBoolean() const {
    switch (type_) {
        case VarType::Empty: return false;
        case VarType::Boolean: return b_;
        case VarType::Integer: return i_ != 0;
        case VarType::Double:
        case VarType::Date: return d_ != 0;
        case VarType::String: {
            TextNumber n;
            if (!ParseTextNumber(s_, n)) ConvertFailure(*this, "boolean value");
            return n.d != 0;
        }
        case VarType::Null: throw EVariantError("Could not convert variant of type (Null) into type (Boolean)");
        default: throw EVariantError(std::string("Invalid variant type conversion (") + VarTypeName(type_) + " to Boolean)");
    }
}

TDateTime Variant::AsDate() const {
    switch (type_) {
        case VarType::Empty: return TDateTime(0);
        case VarType::Integer: return TDateTime(static_cast<double>(i_));
        case VarType::Double:
        case VarType::Date: return TDateTime(d_);
        case VarType::String: {
            TDateTime dt;
            if (TextToDateTime(s_, dt)) return dt;
            ConvertFailure(*this, "date and time");
        }
        case VarType::Null: throw EVariantError("Could not convert variant of type (Null) into type (Date)");
        default: throw EVariantError(std::string("Invalid variant type conversion (") + VarTypeName(type_) + " to Date)");
    }
}

std::shared_ptr<IDispatch> Variant::AsDispatch() const {
    if (type_ == VarType::Dispatch) return o_;
    if (IsClear()) return nullptr;
    throw EVariantError(std::string("Invalid variant type conversion (") + VarTypeName(type_) + " to Dispatch)");
}

const std::string& Variant::StringRef() const {
    if (type_ != VarType::String)
        throw EVariantError(std::string("Variant is not a string (") + VarTypeName(type_) + ")");
    return s_;
}

// ---- arrays ----

Variant Variant::CreateArray(std::initializer_list<VarBounds> bounds) {
    return CreateArray(std::vector<VarBounds>(bounds));
}

Variant Variant::CreateArray(const std::vector<VarBounds>& bounds) {
    if (bounds.empty() || bounds.size() > 2) throw EVariantError("Variant arrays have one or two dimensions");
    size_t total = 1;
    for (const auto& b : bounds) {
        if (b.High < b.Low - 1) throw EVariantError("Invalid variant array bounds");
        total *= static_cast<size_t>(b.Count());
    }
    Variant v;
    auto data = std::make_shared<ArrayData>();
    data->bounds = bounds;
    data->items.resize(total);
    new (&v.a_) std::shared_ptr<ArrayData>(std::move(data));
    v.type_ = VarType::Array;
    return v;
}

Variant Variant::ArrayOf(std::initializer_list<Variant> items) { return ArrayOf(std::vector<Variant>(items)); }

Variant Variant::ArrayOf(std::vector<Variant> items) {
    Variant v;
    auto data = std::make_shared<ArrayData>();
    data->bounds = {VarBounds{0, static_cast<int>(items.size()) - 1}};
    data->items = std::move(items);
    new (&v.a_) std::shared_ptr<ArrayData>(std::move(data));
    v.type_ = VarType::Array;
    return v;
}

const Variant::ArrayData& Variant::ConstArray() const {
    if (type_ != VarType::Array) throw EVariantError("Variant is not an array");
    return *a_;
}

Variant::ArrayData& Variant::MutableArray() {
    if (type_ != VarType::Array) throw EVariantError("Variant is not an array");
    if (a_.use_count() > 1) a_ = std::make_shared<ArrayData>(*a_);
    return *a_;
}

int Variant::DimCount() const noexcept { return type_ == VarType::Array ? static_cast<int>(a_->bounds.size()) : 0; }

int Variant::LowBound(int dim) const {
    const auto& a = ConstArray();
    if (dim < 1 || dim > static_cast<int>(a.bounds.size())) throw EVariantError("Variant array dimension out of range");
    return a.bounds[dim - 1].Low;
}

int Variant::HighBound(int dim) const {
    const auto& a = ConstArray();
    if (dim < 1 || dim > static_cast<int>(a.bounds.size())) throw EVariantError("Variant array dimension out of range");
    return a.bounds[dim - 1].High;
}

namespace {
size_t Offset1(const std::vector<VarBounds>& b, int i) {
    if (b.size() != 1) throw EVariantError("Variant array is not one-dimensional");
    if (i < b[0].Low || i > b[0].High) throw EVariantError("Variant array index out of bounds: " + std::to_string(i));
    return static_cast<size_t>(i - b[0].Low);
}
size_t Offset2(const std::vector<VarBounds>& b, int i, int j) {
    if (b.size() != 2) throw EVariantError("Variant array is not two-dimensional");
    if (i < b[0].Low || i > b[0].High || j < b[1].Low || j > b[1].High)
        throw EVariantError("Variant array index out of bounds: " + std::to_string(i) + "," + std::to_string(j));
    return static_cast<size_t>(i - b[0].Low) * static_cast<size_t>(b[1].Count()) + static_cast<size_t>(j - b[1].Low);
}
}  // namespace

const Variant& Variant::operator[](int i) const {
    const auto& a = ConstArray();
    return a.items[Offset1(a.bounds, i)];
}

Variant& Variant::operator[](int i) {
    auto& a = MutableArray();
    return a.items[Offset1(a.bounds, i)];
}

const Variant& Variant::At(int i, int j) const {
    const auto& a = ConstArray();
    return a.items[Offset2(a.bounds, i, j)];
}

Variant& Variant::At(int i, int j) {
    auto& a = MutableArray();
    return a.items[Offset2(a.bounds, i, j)];
}

void Variant::Redim(int newHigh) {
    auto& a = MutableArray();
    auto& last = a.bounds.back();
    if (newHigh < last.Low - 1) throw EVariantError("Invalid variant array bounds");
    if (a.bounds.size() == 1) {
        a.items.resize(static_cast<size_t>(newHigh - last.Low + 1));
        last.High = newHigh;
        return;
    }
    // Two dimensions: each row keeps its first elements.
    const size_t rows = static_cast<size_t>(a.bounds[0].Count());
    const size_t oldCols = static_cast<size_t>(last.Count());
    const size_t newCols = static_cast<size_t>(newHigh - last.Low + 1);
    std::vector<Variant> items(rows * newCols);
    for (size_t r = 0; r < rows; ++r)
        for (size_t c = 0; c < std::min(oldCols, newCols); ++c) items[r * newCols + c] = std::move(a.items[r * oldCols + c]);
    a.items = std::move(items);
    last.High = newHigh;
}

const std::vector<Variant>& Variant::Elements() const { return ConstArray().items; }
std::vector<Variant>& Variant::MutableElements() { return MutableArray().items; }

Variant VarArrayOfRows(const std::vector<std::vector<Variant>>& rows) {
    size_t cols = 0;
    for (const auto& r : rows) cols = std::max(cols, r.size());
    Variant v = Variant::CreateArray({VarBounds{0, static_cast<int>(rows.size()) - 1}, VarBounds{0, static_cast<int>(cols) - 1}});
    for (size_t r = 0; r < rows.size(); ++r)
        for (size_t c = 0; c < rows[r].size(); ++c) v.At(static_cast<int>(r), static_cast<int>(c)) = rows[r][c];
    return v;
}

// ---- comparison ----

namespace {
bool NumericText(const Variant& v, double& d) {
    bool isInt;
    int64_t i;
    return v.IsString() && ParseNumber(v.StringRef(), d, isInt, i);
}
bool IsNumberLike(VarType t) {
    return t == VarType::Integer || t == VarType::Double || t == VarType::Boolean || t == VarType::Date;
}
}  // namespace

int Variant::Compare(const Variant& a, const Variant& b) {
    const auto rank = [](const Variant& v) { return v.IsEmpty() ? 0 : v.IsNull() ? 1 : 2; };
    if (a.IsClear() || b.IsClear()) {
        const int ra = rank(a), rb = rank(b);
        return ra < rb ? -1 : ra > rb ? 1 : 0;
    }
    if (a.type_ == VarType::Integer && b.type_ == VarType::Integer) return a.i_ < b.i_ ? -1 : a.i_ > b.i_ ? 1 : 0;
    if (a.IsArray() || b.IsArray()) {
        if (!(a.IsArray() && b.IsArray())) return a.IsArray() ? 1 : -1;
        const auto& x = a.Elements();
        const auto& y = b.Elements();
        for (size_t i = 0; i < std::min(x.size(), y.size()); ++i)
            if (int c = Compare(x[i], y[i])) return c;
        return x.size() < y.size() ? -1 : x.size() > y.size() ? 1 : 0;
    }
    if (a.IsDispatch() || b.IsDispatch()) {
        const void* pa = a.IsDispatch() ? a.o_.get() : nullptr;
        const void* pb = b.IsDispatch() ? b.o_.get() : nullptr;
        return pa < pb ? -1 : pa > pb ? 1 : 0;
    }
    double da = 0, db = 0;
    const bool na = IsNumberLike(a.type_) ? (da = a.AsDouble(), true) : NumericText(a, da);
    const bool nb = IsNumberLike(b.type_) ? (db = b.AsDouble(), true) : NumericText(b, db);
    if (na && nb && (IsNumberLike(a.type_) || IsNumberLike(b.type_))) return da < db ? -1 : da > db ? 1 : 0;
    const std::string sa = a.AsString(), sb = b.AsString();
    const int c = sa.compare(sb);
    return c < 0 ? -1 : c > 0 ? 1 : 0;
}

bool operator==(const Variant& a, const Variant& b) {
    if (a.type_ == VarType::String && b.type_ == VarType::String) return a.s_ == b.s_;
    return Variant::Compare(a, b) == 0;
}

// ---- automation ----

Variant Variant::Get(std::string_view property) const {
    OleArgs args;
    return detail::InvokeOn(*this, property, InvokeKind::PropertyGet, args);
}

void Variant::Set(std::string_view property, const Variant& value) const {
    OleArgs args{value};
    detail::InvokeOn(*this, property, InvokeKind::PropertyPut, args);
}

// ---- names ----

const char* VarTypeName(VarType t) noexcept {
    switch (t) {
        case VarType::Empty: return "Empty";
        case VarType::Null: return "Null";
        case VarType::Boolean: return "Boolean";
        case VarType::Integer: return "Integer";
        case VarType::Double: return "Double";
        case VarType::String: return "String";
        case VarType::Date: return "Date";
        case VarType::Array: return "Array";
        case VarType::Dispatch: return "Dispatch";
    }
    return "Unknown";
}

std::string VarQuote(const Variant& v) {
    if (v.IsArray() || v.IsDispatch()) return std::string("(") + VarTypeName(v.Type()) + ")";
    return "'" + v.AsString() + "'";
}
