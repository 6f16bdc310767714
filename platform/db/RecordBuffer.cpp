#include "platform/db/RecordBuffer.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "platform/core/Strings.h"

namespace {

enum Tag : uint8_t { kEmpty, kNull, kInt, kFloat, kText, kBool, kDate, kOther };

uint32_t Load32(const uint8_t* p) {
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}
void Store32(uint8_t* p, uint32_t v) { std::memcpy(p, &v, 4); }

template <typename T>
T LoadAs(const uint8_t* p) {
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// The header word holds the count; its top bit marks 32-bit offsets. Blocks
// under 64 KiB (nearly all rows) use 16-bit offsets.
constexpr uint32_t kWide = 0x80000000u;

size_t HeaderSize(size_t count, bool wide) { return 4 + (wide ? 4 : 2) * (count + 1); }

bool IsWide(const uint8_t* block) { return (Load32(block) & kWide) != 0; }

size_t LoadOffset(const uint8_t* block, size_t i) {
    if (IsWide(block)) return Load32(block + 4 + 4 * i);
    uint16_t v;
    std::memcpy(&v, block + 4 + 2 * i, 2);
    return v;
}

// Allocates a block for count slots whose tags and payloads take `slots` bytes
// and writes its header word; offsets are written by the caller.
uint8_t* NewBlock(size_t count, size_t slots, bool& wide) {
    wide = HeaderSize(count, false) + slots > 0xFFFF;
    const size_t total = HeaderSize(count, wide) + slots;
    auto* block = static_cast<uint8_t*>(std::malloc(total));
    if (!block) throw std::bad_alloc();
    Store32(block, static_cast<uint32_t>(count) | (wide ? kWide : 0));
    return block;
}

void StoreOffset(uint8_t* block, size_t i, size_t offset, bool wide) {
    if (wide) {
        Store32(block + 4 + 4 * i, static_cast<uint32_t>(offset));
    } else {
        const auto v = static_cast<uint16_t>(offset);
        std::memcpy(block + 4 + 2 * i, &v, 2);
    }
}

size_t PayloadSize(const Variant& v) {
    switch (v.Type()) {
        case VarType::Empty:
        case VarType::Null: return 0;
        case VarType::String: return v.StringRef().size();
        case VarType::Boolean: return 1;
        case VarType::Integer:
        case VarType::Double:
        case VarType::Date: return 8;
        default: return sizeof(Variant*);
    }
}

// Writes tag and payload at p; returns the bytes written.
size_t EncodeSlot(uint8_t* p, const Variant& v) {
    switch (v.Type()) {
        case VarType::Empty: *p = kEmpty; return 1;
        case VarType::Null: *p = kNull; return 1;
        case VarType::String: {
            const std::string& s = v.StringRef();
            *p = kText;
            if (!s.empty()) std::memcpy(p + 1, s.data(), s.size());
            return 1 + s.size();
        }
        case VarType::Boolean: *p = kBool; p[1] = v.AsBoolean() ? 1 : 0; return 2;
        case VarType::Integer: {
            *p = kInt;
            const int64_t i = v.AsInteger();
            std::memcpy(p + 1, &i, 8);
            return 9;
        }
        case VarType::Double:
        case VarType::Date: {
            *p = v.Type() == VarType::Date ? kDate : kFloat;
            const double d = v.Type() == VarType::Date ? v.AsDate().Value : v.AsDouble();
            std::memcpy(p + 1, &d, 8);
            return 9;
        }
        default: {
            *p = kOther;
            Variant* held = new Variant(v);
            std::memcpy(p + 1, &held, sizeof held);
            return 1 + sizeof held;
        }
    }
}

Variant* HeldVariant(const uint8_t* slot) { return LoadAs<Variant*>(slot + 1); }

// Numeric value of a numeric slot; false for other tags.
bool SlotNumber(const uint8_t* slot, double& out) {
    switch (slot[0]) {
        case kInt: out = static_cast<double>(LoadAs<int64_t>(slot + 1)); return true;
        case kFloat:
        case kDate: out = LoadAs<double>(slot + 1); return true;
        case kBool: out = slot[1] ? -1 : 0; return true;
        default: return false;
    }
}

Variant DecodeSlot(const uint8_t* slot, size_t size) {
    switch (slot[0]) {
        case kEmpty: return Variant();
        case kNull: return Variant::Null();
        case kInt: return Variant(LoadAs<int64_t>(slot + 1));
        case kFloat: return Variant(LoadAs<double>(slot + 1));
        case kDate: return Variant(TDateTime(LoadAs<double>(slot + 1)));
        case kBool: return Variant(slot[1] != 0);
        case kText: return Variant(std::string(reinterpret_cast<const char*>(slot + 1), size - 1));
        default: return *HeldVariant(slot);
    }
}

int Sign(double a, double b) { return a < b ? -1 : (a > b ? 1 : 0); }

int CompareTexts(std::string_view a, std::string_view b, bool caseInsensitive) {
    if (caseInsensitive) return CompareText(a, b);
    const int c = a.compare(b);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

}  // namespace

TRecordBuffer::TRecordBuffer(std::span<const Variant> values) {
    const size_t n = values.size();
    size_t slots = 0;
    for (const Variant& v : values) slots += 1 + PayloadSize(v);
    bool wide;
    block_ = NewBlock(n, slots, wide);
    size_t pos = HeaderSize(n, wide);
    for (size_t i = 0; i < n; ++i) {
        StoreOffset(block_, i, pos, wide);
        pos += EncodeSlot(block_ + pos, values[i]);
    }
    StoreOffset(block_, n, pos, wide);
}

TRecordBuffer& TRecordBuffer::operator=(TRecordBuffer&& other) noexcept {
    if (this != &other) {
        Release();
        block_ = other.block_;
        other.block_ = nullptr;
    }
    return *this;
}

TRecordBuffer::~TRecordBuffer() { Release(); }

void TRecordBuffer::Release() noexcept {
    if (!block_) return;
    const size_t n = Count();
    for (size_t i = 0; i < n; ++i) {
        size_t size;
        const uint8_t* slot = Slot(i, size);
        if (slot[0] == kOther) delete HeldVariant(slot);
    }
    std::free(block_);
    block_ = nullptr;
}

size_t TRecordBuffer::Count() const noexcept { return block_ ? (Load32(block_) & ~kWide) : 0; }

size_t TRecordBuffer::ByteSize() const noexcept { return block_ ? LoadOffset(block_, Count()) : 0; }

const uint8_t* TRecordBuffer::Slot(size_t i, size_t& size) const noexcept {
    const size_t start = LoadOffset(block_, i);
    size = LoadOffset(block_, i + 1) - start;
    return block_ + start;
}

TRecordBuffer TRecordBuffer::Clone() const {
    if (!block_) return {};
    const size_t total = ByteSize();
    auto* copy = static_cast<uint8_t*>(std::malloc(total));
    if (!copy) throw std::bad_alloc();
    std::memcpy(copy, block_, total);
    TRecordBuffer result(copy);
    // Values held beside the block are owned per block: copy them.
    for (size_t i = 0, n = Count(); i < n; ++i) {
        size_t size;
        const uint8_t* slot = result.Slot(i, size);
        if (slot[0] == kOther) {
            Variant* held = new Variant(*HeldVariant(slot));
            std::memcpy(const_cast<uint8_t*>(slot) + 1, &held, sizeof held);
        }
    }
    return result;
}

Variant TRecordBuffer::Value(size_t i) const {
    if (i >= Count()) throw EVariantError("Record value index out of range");
    size_t size;
    const uint8_t* slot = Slot(i, size);
    return DecodeSlot(slot, size);
}

bool TRecordBuffer::IsNull(size_t i) const noexcept {
    if (i >= Count()) return true;
    size_t size;
    const uint8_t tag = *Slot(i, size);
    return tag == kEmpty || tag == kNull;
}

std::string_view TRecordBuffer::TextView(size_t i) const noexcept {
    if (i >= Count()) return {};
    size_t size;
    const uint8_t* slot = Slot(i, size);
    if (slot[0] != kText) return {};
    return {reinterpret_cast<const char*>(slot + 1), size - 1};
}

void TRecordBuffer::SetValue(size_t i, const Variant& value) {
    const size_t n = Count();
    if (i >= n) throw EVariantError("Record value index out of range");
    size_t oldSize;
    const uint8_t* oldSlot = Slot(i, oldSize);
    const size_t slots = ByteSize() - HeaderSize(n, IsWide(block_)) - oldSize + 1 + PayloadSize(value);
    bool wide;
    uint8_t* block = NewBlock(n, slots, wide);
    size_t pos = HeaderSize(n, wide);
    for (size_t k = 0; k < n; ++k) {
        StoreOffset(block, k, pos, wide);
        if (k == i) {
            pos += EncodeSlot(block + pos, value);
        } else {
            size_t size;
            const uint8_t* slot = Slot(k, size);
            std::memcpy(block + pos, slot, size);   // a held Variant moves with its pointer
            pos += size;
        }
    }
    StoreOffset(block, n, pos, wide);
    if (oldSlot[0] == kOther) delete HeldVariant(oldSlot);
    std::free(block_);
    block_ = block;
}

int TRecordBuffer::Compare(const TRecordBuffer& a, size_t i, const TRecordBuffer& b, size_t j,
                           bool caseInsensitive) {
    const bool an = a.IsNull(i), bn = b.IsNull(j);
    if (an || bn) return an == bn ? 0 : (an ? -1 : 1);
    size_t sa, sb;
    const uint8_t* x = a.Slot(i, sa);
    const uint8_t* y = b.Slot(j, sb);
    double dx, dy;
    if (SlotNumber(x, dx) && SlotNumber(y, dy)) return Sign(dx, dy);
    if (x[0] == kText && y[0] == kText)
        return CompareTexts(a.TextView(i), b.TextView(j), caseInsensitive);
    return Variant::Compare(DecodeSlot(x, sa), DecodeSlot(y, sb));
}

int TRecordBuffer::CompareWith(size_t i, const Variant& value, bool caseInsensitive) const {
    const bool an = IsNull(i), bn = value.IsClear();
    if (an || bn) return an == bn ? 0 : (an ? -1 : 1);
    size_t size;
    const uint8_t* x = Slot(i, size);
    double dx;
    if (SlotNumber(x, dx) && value.IsNumeric()) return Sign(dx, value.AsDouble());
    if (SlotNumber(x, dx) && value.Type() == VarType::Date) return Sign(dx, value.AsDate().Value);
    if (x[0] == kText && value.IsString()) return CompareTexts(TextView(i), value.StringRef(), caseInsensitive);
    return Variant::Compare(DecodeSlot(x, size), value);
}
