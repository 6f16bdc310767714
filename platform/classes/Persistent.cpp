#include "platform/classes/Persistent.h"

const TClassInfo& TObject::StaticClass() {
    static const TClassInfo info("TObject", nullptr);
    return info;
}

const TClassInfo& TPersistent::StaticClass() {
    static const TClassInfo info("TPersistent", &TObject::StaticClass());
    return info;
}

void TPersistent::Assign(const TPersistent* source) {
    if (source && source->AssignTo(this)) return;
    throw EConvertError("Cannot assign a " + (source ? source->ClassName() : std::string("nil")) + " to a " +
                        ClassName());
}

bool TPersistent::AssignTo(TPersistent*) const { return false; }

std::string TPersistent::GetNamePath() const { return ClassName(); }
