#pragma once
// In-memory tables for the data-set controller tests: countries, customers
// with a country lookup, and the customers' orders.

#include <memory>
#include <string>
#include <vector>

#include "components/data/cxDBData.h"
#include "platform/hostlib/data/memdataset.h"

namespace db_test {

class TestDBController : public TcxDBDataController {
public:
    hostlib::TObject* GetItem(int index) const override { return items_.at(static_cast<std::size_t>(index)).get(); }
    int AddColumn(const std::string& fieldName)
    {
        items_.push_back(std::make_unique<hostlib::TObject>());
        AddItem(items_.back().get());
        const int index = GetItemCount() - 1;
        ChangeFieldName(index, fieldName);
        return index;
    }

private:
    std::vector<std::unique_ptr<hostlib::TObject>> items_;
};

template <class F>
F* AddField(hostlib::TDataSet& ds, const std::string& name)
{
    auto* field = hostlib::CreateObject<F>(&ds);
    field->SetFieldName(name);
    field->SetDataSet(&ds);
    return field;
}

// A lookup field showing "Country" of the countries whose ID is CountryID.
inline hostlib::TField* AddCountryLookup(hostlib::TDataSet& ds, hostlib::TDataSet* countries)
{
    auto* field = hostlib::CreateObject<hostlib::TStringField>(&ds);
    field->SetFieldName("Country");
    field->SetFieldKind(hostlib::fkLookup);
    field->SetLookupDataSet(countries);
    field->SetKeyFields("CountryID");
    field->SetLookupKeyFields("ID");
    field->SetLookupResultField("Country");
    field->SetDataSet(&ds);
    return field;
}

inline void FillCountries(hostlib::TMemDataSet& ds)
{
    ds.FieldDefs().Add("ID", hostlib::ftInteger);
    ds.FieldDefs().Add("Country", hostlib::ftString, 20);
    ds.Open();
    const char* names[] = {"Norway", "Peru", "Chad"};
    for (int i = 0; i < 3; ++i) ds.AppendRecord({hostlib::Variant(i + 1), hostlib::Variant(names[i])});
}

// Twenty customers C1..C20: ID i, Amount 1.5 * i, Born day 40000 + i,
// CountryID i % 3 + 1.
inline void FillCustomers(hostlib::TMemDataSet& ds, hostlib::TDataSet* countries)
{
    using namespace hostlib;
    const struct {
        const char* name;
        TFieldType type;
    } defs[] = {{"ID", ftAutoInc},   {"Name", ftString}, {"Amount", ftCurrency},
                {"Born", ftDate},    {"Notes", ftMemo},  {"CountryID", ftInteger}};
    for (const auto& def : defs) ds.FieldDefs().Add(def.name, def.type, def.type == ftString ? 20 : 0);
    AddField<TAutoIncField>(ds, "ID");
    AddField<TStringField>(ds, "Name")->SetSize(20);
    AddField<TCurrencyField>(ds, "Amount");
    AddField<TDateField>(ds, "Born");
    AddField<TMemoField>(ds, "Notes");
    AddField<TIntegerField>(ds, "CountryID");
    AddCountryLookup(ds, countries);
    ds.Open();
    for (int i = 1; i <= 20; ++i)
        ds.AppendRecord({Variant(i), Variant("C" + std::to_string(i)), Variant(i * 1.5), Variant(40000.0 + i),
                         Variant::Null(), Variant(i % 3 + 1)});
    ds.First();
}

// Customer c has c % 3 orders: OrderID 100 * c + n, CustomerID c.
inline void FillOrders(hostlib::TMemDataSet& ds)
{
    ds.FieldDefs().Add("OrderID", hostlib::ftInteger);
    ds.FieldDefs().Add("CustomerID", hostlib::ftInteger);
    ds.FieldDefs().Add("Total", hostlib::ftFloat);
    ds.Open();
    for (int c = 1; c <= 20; ++c)
        for (int n = 1; n <= c % 3; ++n)
            ds.AppendRecord({hostlib::Variant(100 * c + n), hostlib::Variant(c), hostlib::Variant(10.0 * n)});
    ds.First();
}

class CustomersFixture {
public:
    CustomersFixture()
    {
        FillCountries(*countries);
        FillCustomers(*customers, countries.get());
        source->SetDataSet(customers.get());
    }
    std::string Name(const TcxDBDataController& c, int record, int item = 1) const
    {
        return hostlib::VarToStr(c.GetValue(record, item));
    }
    std::string CurrentName() const { return customers->FieldByName("Name")->AsString(); }

    hostlib::ObjectPtr<hostlib::TMemDataSet> countries = hostlib::MakeObject<hostlib::TMemDataSet>(nullptr);
    hostlib::ObjectPtr<hostlib::TMemDataSet> customers = hostlib::MakeObject<hostlib::TMemDataSet>(nullptr);
    hostlib::ObjectPtr<hostlib::TDataSource> source = hostlib::MakeObject<hostlib::TDataSource>(nullptr);
};

} // namespace db_test
