#pragma once
// Reading and setting published properties by name and by dotted path
// ("Font.Name", "TitleFont.Color"). Every function accepts a null object and an
// empty or unknown name: readers then give the empty value, writers do nothing.
//
// Setting converts the value to the property's kind:
//  - integer: a name of the type's constant table ("clRed", "crHourGlass"), else
//    the value as an integer;
//  - enumeration: an element name ("alClient", blanks trimmed, any case) or an
//    ordinal; booleans also take True/False and numbers;
//  - set: "[fsBold,fsItalic]" (or without brackets) or the bit mask;
//  - text, floating point: the usual variant conversions.
// A value that cannot be converted raises EConvertError; setting a read-only
// property raises EPropertyError; class and event properties are set only through
// SetObjectProp and SetMethodProp (SetPropValue raises EConvertError for them).
#include <string>
#include <string_view>
#include <vector>

#include "platform/classes/Persistent.h"

const TPropInfo* GetPropInfo(const TObject* object, std::string_view name) noexcept;
bool HasProperty(const TObject* object, std::string_view name) noexcept;
TTypeKind PropKind(const TObject* object, std::string_view name) noexcept;   // tkUnknown when none

// The value as documented in TypeInfo.h; Empty for a missing, class or event property.
Variant GetPropValue(const TObject* object, std::string_view name);
void SetPropValue(TObject* object, std::string_view name, const Variant& value);

// An enumeration property's element name ("alClient"), a set property's text
// ("[fsBold]"), an integer property's constant name when it has one, else the
// value as text.
std::string GetPropText(const TObject* object, std::string_view name);

TObject* GetObjectProp(const TObject* object, std::string_view name) noexcept;
// Raises EPropertyError when the property has no setter, EConvertError for an
// object of the wrong class.
void SetObjectProp(TObject* object, std::string_view name, TObject* value);

TMethod GetMethodProp(const TObject* object, std::string_view name);   // empty when none
// Raises EConvertError when the handler's type does not match the event's.
void SetMethodProp(TObject* object, std::string_view name, const TMethod& method);

// ---- dotted paths ----
// Every segment but the last names an object-valued property. Reading a path
// through a missing property or a null object gives Empty.
Variant GetPropValueByPath(const TObject* object, std::string_view path);
// Raises EPropertyError when a segment before the last names no object (or the
// object is null); the last segment follows SetPropValue.
void SetPropValueByPath(TObject* object, std::string_view path, const Variant& value);
// The same, reporting any failure as false instead of raising.
bool TrySetPropValueByPath(TObject* object, std::string_view path, const Variant& value) noexcept;

// An event handler saved by name, for save-clear-restore of a set of events.
struct TSavedEvent {
    std::string Name;
    TMethod Handler;
};
// Saves and clears each named event that the object has (names it lacks are skipped).
std::vector<TSavedEvent> SaveAndClearEvents(TObject* object, const std::vector<std::string>& names);
// Sets back each saved handler whose event the object has.
void RestoreEvents(TObject* object, const std::vector<TSavedEvent>& saved);
