#pragma once
// Types shared by the data-set classes: field types and kinds, data-set
// states, the data events links receive, locate and filter options, the
// database error and its messages.

#include <cstdint>
#include <string>

#include "platform/hostlib/core/exceptions.h"
#include "platform/hostlib/core/properties.h"

namespace hostlib {

class TComponent;

enum TFieldType {
    ftUnknown,
    ftString,
    ftSmallint,
    ftInteger,
    ftWord,
    ftBoolean,
    ftFloat,
    ftCurrency,
    ftBCD,
    ftDate,
    ftTime,
    ftDateTime,
    ftBytes,
    ftVarBytes,
    ftAutoInc,
    ftBlob,
    ftMemo,
    ftGraphic,
    ftFmtMemo,
    ftParadoxOle,
    ftDBaseOle,
    ftTypedBinary,
    ftCursor,
    ftFixedChar,
    ftWideString,
    ftLargeint,
    ftADT,
    ftArray,
    ftReference,
    ftDataSet,
    ftOraBlob,
    ftOraClob,
    ftVariant,
    ftInterface,
    ftIDispatch,
    ftGuid,
    ftTimeStamp,
    ftFMTBcd,
};
const TEnumInfo& EnumTypeInfo(TFieldType*);

enum TFieldKind { fkData, fkCalculated, fkLookup, fkInternalCalc, fkAggregate };
const TEnumInfo& EnumTypeInfo(TFieldKind*);

enum TDataSetState {
    dsInactive,
    dsBrowse,
    dsEdit,
    dsInsert,
    dsSetKey,
    dsCalcFields,
    dsFilter,
    dsNewValue,
    dsOldValue,
    dsCurValue,
    dsBlockRead,
    dsInternalCalc,
    dsOpening,
};

// The order matters: links and data-aware code compare the numbers
// (deDataSetChange is 2).
enum TDataEvent {
    deFieldChange,
    deRecordChange,
    deDataSetChange,
    deDataSetScroll,
    deLayoutChange,
    deUpdateRecord,
    deUpdateState,
    deCheckBrowseMode,
    dePropertyChange,
    deFieldListChange,
    deFocusControl,
    deParentScroll,
    deConnectChange,
    deReconcileError,
    deDisabledStateChange,
};

enum TLocateOption { loCaseInsensitive, loPartialKey };
using TLocateOptions = TSet<TLocateOption>;
const TEnumInfo& EnumTypeInfo(TLocateOption*);

enum TFilterOption { foCaseInsensitive, foNoPartialCompare };
using TFilterOptions = TSet<TFilterOption>;
const TEnumInfo& EnumTypeInfo(TFilterOption*);

// Horizontal placement of a field's text in the controls that show it.
enum TAlignment { taLeftJustify, taRightJustify, taCenter };
const TEnumInfo& EnumTypeInfo(TAlignment*);

// A record's identity in its data set; empty means none.
using TBookmark = std::string;

namespace db_error_names {
inline constexpr const char* EDatabaseError = "EDatabaseError";
}
using EDatabaseError = ErrorClass<Exception, &db_error_names::EDatabaseError>;

// Raises EDatabaseError; with a named component the message reads
// "Name: message".
[[noreturn]] void DatabaseError(const std::string& message, const TComponent* component = nullptr);

namespace db_messages {
inline constexpr const char* SFieldNotFound = "Field '%s' not found";
inline constexpr const char* SDataSetClosed = "Cannot perform this operation on a closed dataset";
inline constexpr const char* SDataSetOpen = "Cannot perform this operation on an open dataset";
inline constexpr const char* SDataSetEmpty = "Cannot perform this operation on an empty dataset";
inline constexpr const char* SNotEditing = "Dataset not in edit or insert mode";
inline constexpr const char* SDataSetReadOnly = "Cannot modify a read-only dataset";
inline constexpr const char* SFieldReadOnly = "Field '%s' cannot be modified";
inline constexpr const char* SFieldRequired = "Field '%s' must have a value";
inline constexpr const char* SFieldRangeError = "%s is not a valid value for field '%s'. The allowed range is %s to %s";
inline constexpr const char* SNotBoolean = "'%s' is not a valid boolean value for field '%s'";
inline constexpr const char* SDuplicateFieldName = "Duplicate field name '%s'";
inline constexpr const char* SFieldTypeMismatch = "Type mismatch for field '%s'";
inline constexpr const char* SCircularDataLink = "Circular datalinks are not allowed";
inline constexpr const char* SPropDefByLookup = "Property already defined by lookup field";
inline constexpr const char* SInvalidBookmark = "Record not found";
inline constexpr const char* SFilterSyntax = "Filter expression error: %s";
inline constexpr const char* SLookupInfoError = "Lookup information for field '%s' is incomplete";
}  // namespace db_messages

}  // namespace hostlib
