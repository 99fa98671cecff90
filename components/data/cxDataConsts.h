#pragma once
// Messages raised by the data layer. Each is the text of a string-table
// entry; callers raise them through the exception classes of the host
// library or of the data controller.

#include <span>

inline constexpr const char* cxSDataReadError = "Stream read error";
inline constexpr const char* cxSDataWriteError = "Stream write error";
inline constexpr const char* cxSDataItemExistError = "Item already exists";
inline constexpr const char* cxSDataRecordIndexError = "RecordIndex out of range";
inline constexpr const char* cxSDataItemIndexError = "ItemIndex out of range";
inline constexpr const char* cxSDataProviderModeError = "This operation is not supported in provider mode";
inline constexpr const char* cxSDataInvalidStreamFormat = "Invalid stream format";
inline constexpr const char* cxSDataRowIndexError = "RowIndex out of range";
inline constexpr const char* cxSDataCustomDataSourceInvalidCompare = "GetInfoForCompare not implemented";
inline constexpr const char* cxSDBDetailFilterControllerNotFound = "DetailFilterController not found";
inline constexpr const char* cxSDBNotInGridMode = "DataController not in GridMode";
inline constexpr const char* cxSDBKeyFieldNotFound = "Key Field not found";

// The string table of the unit: resource name and default text, in
// declaration order, for code that registers or replaces resource strings.
struct TcxDataResourceString {
    const char* Name = nullptr;
    const char* Text = nullptr;
};

std::span<const TcxDataResourceString> cxDataResourceStrings();
