#pragma once
// Published properties by name, as the window framework, the language and
// code-page components and the settings document use them. Each routine does
// nothing, or gives the empty or zero value, when the object is missing, the
// name is empty, or the object has no property of that name and kind.
// Conversion errors of a setter reach the caller.
//
// The component model supplies the rest of this family under the same names:
// `HasProperty`, and `SaveAndClearEvents`/`RestoreEvents` for a list of event
// names (platform/classes/PropertyAccess.h).
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/classes/PropertyAccess.h"

// The property's kind; tkUnknown when there is none.
TTypeKind GetPropKind(const TObject* object, std::string_view name) noexcept;

// A text property.
std::string GetStrPropByName(const TObject* object, std::string_view name);
void SetStrPropByName(TObject* object, std::string_view name, std::string_view value);

// An ordinal property: integer, enumeration (booleans included, 0/1) or set
// (the bit mask). Object references are reached with GetObjectProp and
// SetObjectProp instead: an integer is never taken for an object's address.
int64_t GetOrdPropByName(const TObject* object, std::string_view name);
void SetOrdPropByName(TObject* object, std::string_view name, int64_t value);

// An event property; a missing one reads as the empty event.
TMethod GetMethodPropByName(const TObject* object, std::string_view name);
void SetMethodPropByName(TObject* object, std::string_view name, const TMethod& method);
