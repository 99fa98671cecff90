#pragma once
// Null conditions in the dialect of the data set a filter text goes to:
// query engines read 'f IS NULL' where plain data sets read 'f = NULL'.
// One adapter, registered for every data set, makes the swap.

#include "components/data/cxDB.h"
#include "components/data/cxFilter.h"
#include "platform/hostlib/data/dataset.h"

class TcxFilterSQLNullOperator : public TcxFilterNullOperator {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    std::string FilterText() override { return "IS"; }
};

class TcxFilterSQLNotNullOperator : public TcxFilterNotNullOperator {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
    std::string FilterText() override { return "IS NOT"; }
};

class TcxDBFilterOperatorAdapter : public TcxDBAdapterItem {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    // The null operators become the SQL ones for a data set whose class
    // name holds "Query" in any case; the sender is not consulted.
    virtual void PrepareOperatorClass(hostlib::TObject* sender, hostlib::TDataSet* dataSet,
                                      TcxFilterOperatorClass& operatorClass);
};

// The registry, made on first use with the adapter for TDataSet.
TcxDBAdapterList& cxFilterOperatorAdapters();
// None without a data set or a fitting entry.
TcxDBFilterOperatorAdapter* cxGetFilterOperatorAdapter(hostlib::TDataSet* dataSet);
