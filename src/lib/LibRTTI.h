#pragma once
// Published properties by name, as the window framework, the language and
// code-page components and the settings document use them, and the small
// control and dataset utilities built on the component model. Each property
// routine does nothing, or gives the empty or zero value, when the object is
// missing, the name is empty, or the object has no property of that name and
// kind. Conversion errors of a setter reach the caller.
//
// The component model supplies the rest of this family under the same names:
// `HasProperty`, and `SaveAndClearEvents`/`RestoreEvents` for a list of event
// names (platform/classes/PropertyAccess.h).
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/classes/PropertyAccess.h"

class TComponent;
class TCustomListBox;
class TDataSet;
class TDataSource;
class TField;
class TPageControl;
class TWinControl;
class TwwDBGrid;

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

// ---- datasets ----------------------------------------------------------------

// Saves, then clears, the dataset's events AfterEdit, AfterInsert, AfterOpen,
// AfterPost, BeforeEdit, BeforeInsert, BeforeOpen, BeforePost, BeforeScroll and
// AfterScroll (in this order), so that a series of changes runs without them;
// RestoreDataSetEvents sets them back.
std::vector<TSavedEvent> SaveAndClearDataSetEvents(TDataSet* dataSet);
void RestoreDataSetEvents(TDataSet* dataSet, const std::vector<TSavedEvent>& saved);

// The same for a data source: the ten events of its dataset (none without one)
// and its own OnDataChange and OnStateChange.
struct TDataSourceEvents {
    std::vector<TSavedEvent> DataSet;
    std::vector<TSavedEvent> DataSource;
};
TDataSourceEvents SaveAndClearDataSourceEvents(TDataSource* dataSource);
void RestoreDataSourceEvents(TDataSource* dataSource, const TDataSourceEvents& saved);

// True when the dataset exists, is open, browsing and not empty; false also
// when asking raises.
bool HasBrowseRecord(const TDataSet* dataSet) noexcept;

// Sets a field from a text, read-only fields included (the flag is lifted for
// the assignment and always restored). With `editText`, an integer or
// floating-point field takes the text as edit text (through its set-text
// handling); otherwise the field takes it as its string value, cut to the
// field's size in whole characters. Errors of the assignment reach the
// caller. False when no field is given.
bool SetFieldValue(TField* field, const std::string& text, bool editText);

// ---- controls ----------------------------------------------------------------

// Fits the grid's columns to its width: when the columns (the indicator's
// included, each with its grid line) and a scroll bar's height take less than
// the client width, each field column widens by an equal share of the rest;
// otherwise the grid's parent widens to show them all. Nothing happens
// without an open dataset or shown fields. The grid is disabled meanwhile.
void FitGridColumns(TwwDBGrid* grid);

// Appends each selected item of the source list box that the target does not
// hold yet (compared as the target's items compare, without regard to case).
void CopySelectedItems(const TCustomListBox* source, TCustomListBox* target);

// The last input control of each page, for moving between pages on Enter: for
// pages 0 to 15, the visible and enabled windowed control (a component of the
// page control's owner placed directly on the page) with the highest tab
// order. A last page named "TbsBrowse" is left out, then a last page named
// "TbsUDF". `Names` lists the remaining pages' controls in page order;
// `LastControl` is the last of them (nullptr when there is none).
struct TPageLastControls {
    std::vector<std::string> Names;
    TWinControl* LastControl = nullptr;
};
TPageLastControls GetLastControlsOfPages(const TPageControl* pageControl);
