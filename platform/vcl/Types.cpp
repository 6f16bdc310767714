#include "platform/vcl/Types.h"

const TTypeInfo& AlignmentType() {
    static const TTypeInfo t("TAlignment", TTypeKind::tkEnumeration, {"taLeftJustify", "taRightJustify", "taCenter"});
    return t;
}

const TTypeInfo& TextLayoutType() {
    static const TTypeInfo t("TTextLayout", TTypeKind::tkEnumeration, {"tlTop", "tlCenter", "tlBottom"});
    return t;
}
