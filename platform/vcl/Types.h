#pragma once
// Geometry and small enumerations shared by controls, canvases and forms.
#include <functional>

#include "platform/classes/TypeInfo.h"

class TWinControl;

struct TPoint {
    int X = 0;
    int Y = 0;
    bool operator==(const TPoint&) const = default;
};

// A rectangle; Right and Bottom are exclusive.
struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    int Width() const noexcept { return Right - Left; }
    int Height() const noexcept { return Bottom - Top; }
    bool Contains(TPoint p) const noexcept { return p.X >= Left && p.X < Right && p.Y >= Top && p.Y < Bottom; }
    bool operator==(const TRect&) const = default;
};

inline TRect Rect(int left, int top, int right, int bottom) { return TRect{left, top, right, bottom}; }
inline TRect Bounds(int left, int top, int width, int height) {
    return TRect{left, top, left + width, top + height};
}

enum class TAlignment { taLeftJustify, taRightJustify, taCenter };
enum class TTextLayout { tlTop, tlCenter, tlBottom };
const TTypeInfo& AlignmentType();
const TTypeInfo& TextLayoutType();

// How an owner-drawn item (list box, combo box) is to be drawn.
enum class TOwnerDrawStateItem { odSelected, odGrayed, odDisabled, odChecked, odFocused, odDefault, odComboBoxEdit };
using TOwnerDrawState = TSet<TOwnerDrawStateItem>;
// The control's Canvas() is the surface while the handler runs.
using TDrawItemEvent = std::function<void(TWinControl* control, int index, TRect rect, TOwnerDrawState state)>;
using TMeasureItemEvent = std::function<void(TWinControl* control, int index, int& height)>;
