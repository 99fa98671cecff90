#include "components/data/cxDBData.h"

#include "components/data/cxVariants.h"
#include "platform/hostlib/core/properties.h"
#include "platform/hostlib/data/memdataset.h"
#include "platform/system/scope_guard.h"

using hostlib::Variant;

hostlib::TClass TcxDBProviderDetailFilterAdapter::StaticClass()
{
    return hostlib::DefineClass<TcxDBProviderDetailFilterAdapter, TcxDBAdapterItem>("TcxDBProviderDetailFilterAdapter");
}

TcxValueTypeClass GetValueTypeClassByField(hostlib::TField* field)
{
    using namespace hostlib;
    if (!field) return TcxStringValueType::Class();
    switch (field->DataType()) {
    case ftString: return TcxStringValueType::Class();
    case ftSmallint: return TcxSmallintValueType::Class();
    case ftInteger:
    case ftAutoInc: return TcxIntegerValueType::Class();
    case ftWord: return TcxWordValueType::Class();
    case ftBoolean: return TcxBooleanValueType::Class();
    case ftFloat: return TcxFloatValueType::Class();
    case ftCurrency:
    case ftBCD: return TcxCurrencyValueType::Class();
    case ftDate:
    case ftTime:
    case ftDateTime: return TcxDateTimeValueType::Class();
    case ftWideString: return TcxWideStringValueType::Class();
    case ftLargeint: return TcxLargeIntValueType::Class();
    case ftFMTBcd: return TcxFMTBcdValueType::Class();
    default: return TcxVariantValueType::Class();
    }
}

namespace {
// The parameter of that name in the data set's published Params, if any.
hostlib::TParam* PublishedParam(hostlib::TDataSet* dataSet, const std::string& name)
{
    const hostlib::TPropInfo* prop = dataSet ? dataSet->ClassType()->FindProperty("Params") : nullptr;
    if (!prop || !prop->GetObject) return nullptr;
    auto* params = hostlib::As<hostlib::TParams>(prop->GetObject(*dataSet));
    return params ? params->FindParam(name) : nullptr;
}
} // namespace

bool TcxDBProviderDetailFilterAdapter::IsCurrentQuery(hostlib::TDataSet* dataSet, const std::string& paramName,
                                                      const Variant& value)
{
    hostlib::TParam* param = PublishedParam(dataSet, paramName);
    return param && VarEquals(param->Value(), value);
}

void TcxDBProviderDetailFilterAdapter::ReopenSQL(hostlib::TDataSet* dataSet, const std::string& paramName,
                                                 const Variant& value, bool& reopened)
{
    hostlib::TParam* param = PublishedParam(dataSet, paramName);
    if (!param) return;
    if (VarEquals(param->Value(), value)) {
        dataSet->First();
        return;
    }
    dataSet->DisableControls();
    quelvo::sys::ScopeGuard enable([dataSet] { dataSet->EnableControls(); });
    dataSet->Close();
    param->SetValue(value);
    dataSet->Open();
    reopened = true;
}

void TcxDBProviderDetailFilterAdapter::SetFilter(hostlib::TDataSet* dataSet, const std::string& keyFieldNames,
                                                 const Variant& keyValues, bool sqlMode, bool& reopened)
{
    if (sqlMode)
        ReopenSQL(dataSet, keyFieldNames, keyValues, reopened);
    else
        dataSet->Locate(keyFieldNames, keyValues);
}

TcxDBAdapterList& cxDetailFilterControllers()
{
    static const hostlib::ObjectPtr<TcxDBAdapterList> list = [] {
        hostlib::ObjectPtr<TcxDBAdapterList> made(hostlib::CreateObject<TcxDBAdapterList>());
        made->RegisterAdapter(hostlib::TDataSet::StaticClass(), TcxDBProviderDetailFilterAdapter::StaticClass());
        return made;
    }();
    return *list;
}
