#pragma once
// `TObject`, the root of every class with run-time type information, and
// `TPersistent`, the root of everything whose properties can be published and
// copied with Assign (fonts, collections, string lists, components).
#include <functional>
#include <string>

#include "platform/classes/TypeInfo.h"

class TObject {
public:
    virtual ~TObject() = default;
    TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;

    static const TClassInfo& StaticClass();
    virtual const TClassInfo& ClassType() const { return StaticClass(); }
    const std::string& ClassName() const { return ClassType().Name(); }
    bool InheritsFrom(const TClassInfo& info) const noexcept { return ClassType().InheritsFrom(info); }
};

// An index outside a list's range (components, collections, controls, grid cells).
VELMORA_DECLARE_EXCEPTION(EListError, Exception);

// The handler type of most events: the object that raised the event.
using TNotifyEvent = std::function<void(TObject* sender)>;

class TPersistent : public TObject {
    VELMORA_CLASS(TPersistent)
public:
    // Copies source into this object. The base raises EConvertError
    // ("Cannot assign a TX to a TY") after giving source a chance through AssignTo.
    virtual void Assign(const TPersistent* source);
    // The object this one belongs to in the property tree (the owner of a font is
    // its control), or nullptr.
    virtual TPersistent* GetOwner() const { return nullptr; }
    // The dotted name of this object in its owner's tree ("Form1.Edit1").
    virtual std::string GetNamePath() const;

protected:
    // Lets the source copy itself into dest; false when it cannot.
    virtual bool AssignTo(TPersistent* dest) const;
};
