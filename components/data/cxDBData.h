#pragma once
// The data-set data layer: value types for data-set fields and the default
// detail filter adapter, which restricts a detail data set to its master's
// key values by locating them, or in SQL mode by reopening a query with the
// key as its parameter.

#include <string>

#include "components/data/cxDB.h"
#include "components/data/cxDataStorage.h"
#include "platform/hostlib/data/dataset.h"

// TcxStringValueType without a field.
TcxValueTypeClass GetValueTypeClassByField(hostlib::TField* field);

class TcxDBProviderDetailFilterAdapter : public TcxDBAdapterItem {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    // Whether the data set's published parameter of that name holds the
    // value.
    virtual bool IsCurrentQuery(hostlib::TDataSet* dataSet, const std::string& paramName, const hostlib::Variant& value);
    virtual void ReopenSQL(hostlib::TDataSet* dataSet, const std::string& paramName, const hostlib::Variant& value,
                           bool& reopened);
    virtual void SetFilter(hostlib::TDataSet* dataSet, const std::string& keyFieldNames, const hostlib::Variant& keyValues,
                           bool sqlMode, bool& reopened);
};

// The registry, made on first use with the default adapter for TDataSet.
TcxDBAdapterList& cxDetailFilterControllers();
