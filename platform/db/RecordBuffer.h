#pragma once
// TRecordBuffer: one row of values packed into a single heap block, so that a
// dataset of 100,000 rows costs little more than its data. Values keep their
// Variant kind exactly (null, integer, float, text, boolean, date-time; arrays and
// other values are held as Variants beside the block). Reading a value builds a
// Variant; comparisons work on the packed bytes without building one.
//
// Block layout: a uint32 count (its top bit set when offsets are 32-bit), the
// offsets[count + 1] (16-bit for blocks under 64 KiB; start of each slot, the
// last one is the block size), then the slots; a slot is a one-byte tag and its
// payload (8 bytes for numbers, the bytes of a text, a Variant* for the rest).
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "platform/core/Variant.h"

class TRecordBuffer {
public:
    TRecordBuffer() = default;
    explicit TRecordBuffer(std::span<const Variant> values);
    TRecordBuffer(TRecordBuffer&& other) noexcept : block_(other.block_) { other.block_ = nullptr; }
    TRecordBuffer& operator=(TRecordBuffer&& other) noexcept;
    TRecordBuffer(const TRecordBuffer&) = delete;
    TRecordBuffer& operator=(const TRecordBuffer&) = delete;
    ~TRecordBuffer();

    TRecordBuffer Clone() const;
    size_t Count() const noexcept;
    size_t ByteSize() const noexcept;   // the block (not counting values held beside it)

    Variant Value(size_t i) const;
    bool IsNull(size_t i) const noexcept;   // unassigned or null
    // The text of a text slot without a copy; empty for other kinds.
    std::string_view TextView(size_t i) const noexcept;
    // Replaces one value (the block is rebuilt).
    void SetValue(size_t i, const Variant& value);

    // Orders slot i of a against slot j of b: null first, numbers (integer, float,
    // boolean, date-time) by value, texts by bytes or without regard to ASCII case.
    static int Compare(const TRecordBuffer& a, size_t i, const TRecordBuffer& b, size_t j,
                       bool caseInsensitive = false);
    // Orders slot i against a value, with the same rules.
    int CompareWith(size_t i, const Variant& value, bool caseInsensitive = false) const;

private:
    explicit TRecordBuffer(uint8_t* block) : block_(block) {}
    const uint8_t* Slot(size_t i, size_t& size) const noexcept;
    void Release() noexcept;
    uint8_t* block_ = nullptr;
};
