#pragma once
// Helpers shared by editors, filters and controllers, and the base of the
// objects that bind a data-aware control to its data.

#include <string>

#include "platform/hostlib/core/component.h"
#include "platform/hostlib/core/event.h"
#include "platform/hostlib/core/variant.h"

// Where an edit value comes from.
enum TcxDataEditValueSource { evsValue = 0, evsText = 1, evsKey = 2 };

// The display format of currency values from the locale's currency
// settings: ",0." with one zero per currency decimal, and the currency
// symbol (its ',' and '.' quoted) placed by the currency format.
std::string DefaultCurrencyDisplayFormat();

// The whole-day part (truncated toward zero) and the fraction of a date-time.
double DateOf(double dateTime);
double TimeOf(double dateTime);

// The locale's first day of the week, 0 = Sunday .. 6 = Saturday.
int GetStartOfWeek();
// The first day of the week holding the date.
double GetStartDateOfWeek(double dateTime);

// Case-insensitive match by the locale's upper-casing. With partial set and
// a non-empty S2, true when S1 begins with S2; otherwise true when equal.
bool DataCompareText(const std::string& S1, const std::string& S2, bool partial);

using TcxDataBindingNotifyEvent = hostlib::Event<>;

// Base of the objects that bind a data-aware control (the visual control)
// to the component that reads and writes its data. Built in two phases:
// CreateObject<T>(owner, dataComponent) runs Construct, so descendants may
// create helpers through virtual class factories there.
class TcxCustomDataBinding : public hostlib::TPersistent {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    virtual void DataChange();
    virtual void DataSetChange();
    virtual bool ExecuteAction(hostlib::TComponent* action);
    virtual bool GetModified();
    virtual bool GetReadOnly();
    virtual void SetReadOnly(bool value);
    virtual bool UpdateAction(hostlib::TComponent* action);
    virtual void UpdateData();
    virtual void VisualControlChanged();
    virtual void Construct(hostlib::TComponent* owner, hostlib::TComponent* dataComponent);
    virtual bool CanModify();
    virtual hostlib::Variant GetStoredValue(TcxDataEditValueSource valueSource, bool editFocused);
    virtual bool IsDataSourceLive();
    virtual bool IsDataStorage();
    virtual void Reset();
    virtual bool SetEditMode();
    virtual void SetStoredValue(TcxDataEditValueSource valueSource, const hostlib::Variant& value);
    virtual void UpdateDataSource();

    hostlib::TPersistent* GetOwner() const override { return owner_; }
    hostlib::TComponent* Owner() const { return owner_; }
    hostlib::TComponent* DataComponent() const { return dataComponent_; }
    hostlib::TComponent* VisualControl() const { return visualControl_; }
    // Calls VisualControlChanged only when the control differs.
    void SetVisualControl(hostlib::TComponent* control);

    TcxDataBindingNotifyEvent OnDataChange;
    TcxDataBindingNotifyEvent OnDataSetChange;
    TcxDataBindingNotifyEvent OnUpdateData;

private:
    hostlib::TComponent* owner_ = nullptr;
    hostlib::TComponent* dataComponent_ = nullptr;
    hostlib::TComponent* visualControl_ = nullptr;
};

// The plain binding: stores nothing and reports Null.
class TcxDataBinding : public TcxCustomDataBinding {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }
};
