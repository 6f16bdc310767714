#pragma once
// The provider protocol: how a client dataset talks to the named providers of its
// remote server (an automation object). Everything travels as Variants, so the
// remote-call mechanism carries packets and deltas unchanged.
//
// Calls a client dataset makes of its remote server (member names without regard
// to case; arguments in this order):
//
// | call           | arguments                                             | result        |
// |----------------|-------------------------------------------------------|---------------|
// | `GetRecords`   | provider name, count, position, request               | data packet   |
// | `ApplyUpdates` | provider name, delta, max errors, ByRef error count   | error packet  |
// | `DataRequest`  | provider name, data                                   | any Variant   |
//
// - count: rows wanted; -1 all remaining rows; 0 none (field definitions only).
// - position: rows of this query the caller already holds (0 on open). The query
//   is the provider's select with the request applied; rows come in a stable order.
// - request: the data the dataset last sent with `DataRequest` (Empty when none).
//   Every `GetRecords` carries it, so a provider needs no memory of earlier calls;
//   the module sends [condition, order] (two texts).
// - max errors: how many rejected changes are tolerated; -1 no limit. When more
//   changes are rejected than that, the provider applies none of the delta (all
//   or nothing) and still reports the errors it found.
// - error count: set to the number of rejected changes.
//
// Data packet:   [fields, rows, eof]
//   fields       1-D array of field definitions, each [name, type, size, flags]
//                or [name, type, size, flags, child fields] for a "DataSet" field
//                (name text; type text as FieldTypeName gives it: "String",
//                "Integer", "Float", "DateTime", "DataSet", ...; size in characters
//                for text types, 0 otherwise; flags: sum of kFieldReadOnly,
//                kFieldRequired, kFieldKey)
//   rows         2-D array [row, field], one column per field in field order.
//                Values: Null for none; text types: String; integer types:
//                Integer; float/currency/BCD: Integer or Double; Boolean;
//                date/time: Date (or Double); ADT/Array/Reference: an array;
//                DataSet: the nested rows, a 2-D array over the child fields
//   eof          Boolean: true when no rows follow these
//
// Delta:         [fields, changes]
//   fields       as in the data packet (the dataset's data fields)
//   changes      1-D array, oldest change first, each [kind, old values, new values]
//   kind         0 modify, 1 insert, 2 delete (TUpdateKind)
//   old values   1-D array, one value per field, the row as the provider gave it
//                (modify, delete); Empty for an insert
//   new values   1-D array, one value per field (insert: every value; modify: the
//                changed values, Empty where unchanged); Empty for a delete.
//                At a DataSet field it holds the nested changes (a changes array
//                over the child fields) or Empty when no detail row changed. A row
//                whose own values did not change but whose details did is a modify
//                with only the DataSet slots set.
//
// Error packet:  1-D array of rejected changes, each [index, code, message, context]
//   index        position of the change in the delta's changes (0-based); a
//                change with its nested changes is applied or rejected as a whole
//   code         kReconcileChanged, kReconcileNotFound, kReconcileKeyViolation,
//                kReconcileRefused, or a provider's own positive code
//   message      text for the user; context: what was being done (for the log)
//
// A modify or delete locates its row by the key fields' old values; when the
// fields include `FLAG` (the change counter) its old value must match too, so a
// row that another user saved in the meantime is rejected, never overwritten.
#include <string>
#include <vector>

#include "platform/core/Variant.h"
#include "platform/db/FieldDefs.h"

inline constexpr const char* kGetRecordsCall = "GetRecords";
inline constexpr const char* kApplyUpdatesCall = "ApplyUpdates";
inline constexpr const char* kDataRequestCall = "DataRequest";

inline constexpr int kFieldReadOnly = 1;
inline constexpr int kFieldRequired = 2;
inline constexpr int kFieldKey = 4;

inline constexpr int kReconcileChanged = 1;       // key found, FLAG or old values differ
inline constexpr int kReconcileNotFound = 2;      // no row with that key
inline constexpr int kReconcileKeyViolation = 3;  // insert of a key that exists
inline constexpr int kReconcileRefused = 4;       // refused for another reason (rights, rules)

enum class TUpdateKind { ukModify, ukInsert, ukDelete };

Variant EncodeFieldDefs(const TFieldDefs& defs);
// Raises EDatabaseError for a malformed definition list.
TFieldDefs DecodeFieldDefs(const Variant& fields);

// Raises EDatabaseError, naming the row and the field, when rows is not a 2-D
// array with one column per definition or a value does not fit its field's type.
void CheckRows(const TFieldDefs& defs, const Variant& rows);

struct TDataPacket {
    TFieldDefs Fields;
    Variant Rows;       // 2-D [row, field]
    bool Eof = true;
    int RowCount() const { return Rows.IsArray() ? Rows.Count(1) : 0; }
};
Variant EncodeDataPacket(const TDataPacket& packet);   // checks the rows first
TDataPacket DecodeDataPacket(const Variant& packet);   // refuses a malformed packet

struct TDeltaChange {
    TUpdateKind Kind = TUpdateKind::ukModify;
    Variant OldValues;   // 1-D, one per field; Empty for an insert
    Variant NewValues;   // 1-D, one per field; Empty for a delete
};
struct TDelta {
    TFieldDefs Fields;
    std::vector<TDeltaChange> Changes;
};
Variant EncodeChanges(const std::vector<TDeltaChange>& changes);
// Refuses changes whose value arrays do not match the definitions.
std::vector<TDeltaChange> DecodeChanges(const TFieldDefs& defs, const Variant& changes);
Variant EncodeDelta(const TDelta& delta);
TDelta DecodeDelta(const Variant& delta);

struct TUpdateError {
    int Index = 0;
    int ErrorCode = 0;
    std::string Message;
    std::string Context;
};
Variant EncodeUpdateErrors(const std::vector<TUpdateError>& errors);
std::vector<TUpdateError> DecodeUpdateErrors(const Variant& errors);
