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

class TComponent;

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

// ---- controls bound to fields --------------------------------------------------
// A field list names fields separated by `separator` (entries are trimmed).

// Sets "Color" of every component of the owner whose "DataField" equals an
// entry of the list (any case); the list ends at its first empty entry.
// Data-aware combo boxes, radio groups and value-mapped check boxes take only
// the key colour RGB(0, 200, 200); other colours leave them as they are.
void SetFieldControlsColor(TComponent* owner, std::string_view fieldList, std::string_view separator,
                           int32_t color);

// Sets "Enabled" of every component of the owner whose "DataField" equals an
// entry of the list (any case). An entry counts up to its first blank, so
// "MB003 DESC" names MB003; empty entries are skipped (they would otherwise
// name every control without a field).
void SetFieldControlsEnabled(TComponent* owner, std::string_view fieldList, std::string_view separator,
                             bool enabled);
