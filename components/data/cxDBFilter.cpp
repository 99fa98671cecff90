#include "components/data/cxDBFilter.h"

#include <memory>

#include "platform/hostlib/core/format.h"

hostlib::TClass TcxFilterSQLNullOperator::StaticClass()
{
    return hostlib::DefineClass<TcxFilterSQLNullOperator, TcxFilterNullOperator>("TcxFilterSQLNullOperator");
}
hostlib::TClass TcxFilterSQLNotNullOperator::StaticClass()
{
    return hostlib::DefineClass<TcxFilterSQLNotNullOperator, TcxFilterNotNullOperator>("TcxFilterSQLNotNullOperator");
}
hostlib::TClass TcxDBFilterOperatorAdapter::StaticClass()
{
    return hostlib::DefineClass<TcxDBFilterOperatorAdapter, TcxDBAdapterItem>("TcxDBFilterOperatorAdapter");
}

void TcxDBFilterOperatorAdapter::PrepareOperatorClass(hostlib::TObject*, hostlib::TDataSet* dataSet,
                                                      TcxFilterOperatorClass& operatorClass)
{
    if (!operatorClass || !dataSet) return;
    const bool nullOperator = operatorClass->InheritsFrom(TcxFilterNullOperator::StaticClass());
    if (!nullOperator) return;
    if (hostlib::AnsiUpperCase(dataSet->ClassName()).find("QUERY") == std::string::npos) return;
    operatorClass = operatorClass->InheritsFrom(TcxFilterNotNullOperator::StaticClass())
                        ? TcxFilterSQLNotNullOperator::StaticClass()
                        : TcxFilterSQLNullOperator::StaticClass();
}

TcxDBAdapterList& cxFilterOperatorAdapters()
{
    static const hostlib::ObjectPtr<TcxDBAdapterList> list = [] {
        hostlib::ObjectPtr<TcxDBAdapterList> made(hostlib::CreateObject<TcxDBAdapterList>());
        made->RegisterAdapter(hostlib::TDataSet::StaticClass(), TcxDBFilterOperatorAdapter::StaticClass());
        return made;
    }();
    return *list;
}

TcxDBFilterOperatorAdapter* cxGetFilterOperatorAdapter(hostlib::TDataSet* dataSet)
{
    if (!dataSet) return nullptr;
    TcxDBAdapterList& list = cxFilterOperatorAdapters();
    int index = -1;
    if (!list.FindAdapter(dataSet->ClassType(), index)) return nullptr;
    return hostlib::As<TcxDBFilterOperatorAdapter>(list.Items(index));
}
