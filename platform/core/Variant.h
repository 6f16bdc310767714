#pragma once
// `Variant`: the one value type that crosses every boundary of the system —
// remote calls, data packets, field values, published properties.
//
// Kinds: unassigned (Empty), Null, Boolean, Integer (64-bit), Double, String
// (UTF-8), Date (days since 1899-12-30, fraction = time of day), Array (one or
// two dimensions with bounds; elements are Variants, so arrays nest) and Dispatch
// (an automation object reference).
//
// Value semantics: copying a Variant copies its array (copy-on-write, so copies
// are cheap until one side changes). Conversions follow the usual variant rules:
//  - Null/Empty to text is "", to number 0 (Null to number raises EVariantError).
//  - Numbers to text in their shortest round-trip form ("0.1", "3", "1e+20").
//  - Booleans are -1/0 as numbers and "True"/"False" as text.
//  - Text to number parses the whole text (surrounding blanks allowed); anything
//    else raises EConvertError naming the text.
//  - Dates to text "yyyy-mm-dd" or "yyyy-mm-dd hh:nn:ss" when there is a time.
#include <compare>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/core/Exception.h"

class IDispatch;
class Variant;

enum class VarType { Empty, Null, Boolean, Integer, Double, String, Date, Array, Dispatch };

// A date-time value: days since 1899-12-30; the fraction is the time of day.
struct TDateTime {
    double Value = 0;
    constexpr TDateTime() = default;
    constexpr explicit TDateTime(double v) : Value(v) {}
    auto operator<=>(const TDateTime&) const = default;
};

// Bounds of one array dimension, both inclusive.
struct VarBounds {
    int Low = 0;
    int High = -1;
    int Count() const { return High - Low + 1; }
    bool operator==(const VarBounds&) const = default;
};

class Variant {
public:
    Variant() noexcept;                     // unassigned
    Variant(bool v) noexcept;
    Variant(int v) noexcept;
    Variant(unsigned v) noexcept;
    Variant(long v) noexcept;
    Variant(long long v) noexcept;
    Variant(unsigned long v) noexcept;
    Variant(unsigned long long v) noexcept;
    Variant(double v) noexcept;
    Variant(const char* v);
    Variant(std::string v) noexcept;
    Variant(std::string_view v);
    Variant(TDateTime v) noexcept;
    Variant(std::shared_ptr<IDispatch> v) noexcept;
    Variant(const Variant& other);
    Variant(Variant&& other) noexcept;
    Variant& operator=(const Variant& other);
    Variant& operator=(Variant&& other) noexcept;
    ~Variant();

    static Variant Null() noexcept;

    VarType Type() const noexcept { return type_; }
    bool IsEmpty() const noexcept { return type_ == VarType::Empty; }
    bool IsNull() const noexcept { return type_ == VarType::Null; }
    // Empty or Null: no value at all.
    bool IsClear() const noexcept { return type_ == VarType::Empty || type_ == VarType::Null; }
    bool IsArray() const noexcept { return type_ == VarType::Array; }
    bool IsString() const noexcept { return type_ == VarType::String; }
    bool IsNumeric() const noexcept {
        return type_ == VarType::Integer || type_ == VarType::Double || type_ == VarType::Boolean;
    }
    bool IsDispatch() const noexcept { return type_ == VarType::Dispatch; }

    // Conversions (see the rules above). They never change the Variant.
    std::string AsString() const;
    int64_t AsInteger() const;       // a Double is rounded half-to-even, as variant casts do
    int AsInt() const { return static_cast<int>(AsInteger()); }
    double AsDouble() const;
    bool AsBoolean() const;
    TDateTime AsDate() const;
    std::shared_ptr<IDispatch> AsDispatch() const;  // raises EVariantError unless Dispatch/Empty/Null

    // Direct access to the stored text without a copy; raises unless String.
    const std::string& StringRef() const;

    // --- arrays ---
    // Creates an array of Empty elements with the given bounds (one or two dims).
    static Variant CreateArray(std::initializer_list<VarBounds> bounds);
    static Variant CreateArray(const std::vector<VarBounds>& bounds);
    // A one-dimensional array from index 0 with the given elements.
    static Variant ArrayOf(std::initializer_list<Variant> items);
    static Variant ArrayOf(std::vector<Variant> items);

    int DimCount() const noexcept;               // 0 when not an array
    int LowBound(int dim = 1) const;             // raises EVariantError for a bad dim
    int HighBound(int dim = 1) const;
    int Count(int dim = 1) const { return HighBound(dim) - LowBound(dim) + 1; }
    // Element access with bounds checks (EVariantError when out of range).
    const Variant& operator[](int i) const;
    Variant& operator[](int i);
    const Variant& At(int i, int j) const;
    Variant& At(int i, int j);
    // Changes the high bound of the last dimension (keeps the elements that remain).
    void Redim(int newHigh);
    // Elements in storage order (for a 2-D array the last index varies fastest).
    const std::vector<Variant>& Elements() const;
    std::vector<Variant>& MutableElements();

    // --- automation (see Automation.h) ---
    // Calls a member late-bound. Arguments may be values or ByRef(variant).
    template <typename... Args>
    Variant Call(std::string_view member, Args&&... args) const;
    Variant Get(std::string_view property) const;
    void Set(std::string_view property, const Variant& value) const;

    // Equality with variant rules: Empty == Empty, Null == Null, numbers by value,
    // a number and a numeric text by value, texts exactly, arrays element-wise.
    friend bool operator==(const Variant& a, const Variant& b);
    // Ordering: -1, 0, 1. Empty and Null sort first; numbers by value; texts by
    // bytes; dates as numbers; a number against non-numeric text compares as text.
    static int Compare(const Variant& a, const Variant& b);

private:
    struct ArrayData;
    ArrayData& MutableArray();
    const ArrayData& ConstArray() const;
    void Reset() noexcept;
    void CopyFrom(const Variant& other);

    // One tagged union keeps a Variant at 40 bytes: packets hold millions of them.
    VarType type_ = VarType::Empty;
    union {
        bool b_;
        int64_t i_;
        double d_;
        std::string s_;                           // String
        std::shared_ptr<ArrayData> a_;            // Array (shared until written: copy-on-write)
        std::shared_ptr<IDispatch> o_;            // Dispatch
    };
};

// Builds a Variant array from a two-dimensional table of rows (index [row][col]).
Variant VarArrayOfRows(const std::vector<std::vector<Variant>>& rows);

// Name of a VarType, for messages ("String", "Integer", ...).
const char* VarTypeName(VarType t) noexcept;

// The text used in conversion error messages: the value quoted ("'abc'").
std::string VarQuote(const Variant& v);
