#pragma once
// Provider mode of the data controller (part of cxCustomData): an
// application object derived from TcxCustomDataSource holds the records and
// answers by record handle and item handle; the controller keeps only each
// record's handle (and the values of items the source has no counterpart
// for). Every base operation is inert, so a source overrides what it has.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/hostlib/core/object.h"
#include "platform/hostlib/core/variant.h"

class TcxCustomDataController;
class TcxCustomDataProvider;

// Opaque, pointer-sized, chosen by the source.
using TcxDataRecordHandle = std::intptr_t;
using TcxDataItemHandle = std::intptr_t;
inline constexpr TcxDataRecordHandle cxNullRecordHandle = -1;

class TcxCustomDataSource : public hostlib::TObject {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    virtual TcxDataRecordHandle AppendRecord() { return cxNullRecordHandle; }
    virtual void CustomSort() {}
    virtual void DeleteRecord(TcxDataRecordHandle) {}
    virtual int GetDefaultItemID(int itemIndex);
    virtual bool GetDetailHasChildren(int, int) { return false; }
    // The text form of GetValue; empty when the value has none.
    virtual std::string GetDisplayText(TcxDataRecordHandle recordHandle, TcxDataItemHandle itemHandle);
    // Returns whether a value is present and points value at it in the form
    // the item's value type compares (its prepared value buffer).
    virtual bool GetInfoForCompare(TcxDataRecordHandle recordHandle, TcxDataItemHandle itemHandle, const void*& value);
    virtual TcxDataItemHandle GetItemHandle(int itemIndex) { return itemIndex; }
    virtual int GetRecordCount() { return 0; }
    virtual hostlib::Variant GetRecordId(TcxDataRecordHandle) { return hostlib::Variant::Null(); }
    virtual TcxDataRecordHandle GetRecordHandle(int recordIndex) { return recordIndex; }
    virtual hostlib::Variant GetValue(TcxDataRecordHandle, TcxDataItemHandle) { return hostlib::Variant::Null(); }
    virtual TcxDataRecordHandle InsertRecord(TcxDataRecordHandle) { return AppendRecord(); }
    virtual bool IsCustomSorting() { return false; }
    virtual bool IsNativeCompare() { return false; }
    virtual bool IsNativeCompareFunc() { return false; }
    virtual bool IsRecordIdSupported() { return false; }
    virtual void LoadRecordHandles();
    virtual int NativeCompareFunc(TcxDataRecordHandle, TcxDataRecordHandle, TcxDataItemHandle) { return 0; }
    virtual void SetRecordCount(int) {}
    virtual void SetValue(TcxDataRecordHandle, TcxDataItemHandle, const hostlib::Variant&) {}
    // An application calls this after changing its data: the controller
    // reloads.
    virtual void DataChanged();

    TcxDataRecordHandle GetRecordHandleByIndex(int recordIndex) const;
    int GetRecordIndexByHandle(TcxDataRecordHandle recordHandle) const;
    int AddRecordHandle(TcxDataRecordHandle recordHandle);
    void AddProvider(TcxCustomDataProvider* provider);
    void RemoveProvider(TcxCustomDataProvider* provider);
    // The provider of the latest call into the source.
    TcxCustomDataProvider* GetProvider() const { return currentProvider_; }
    void SetCurrentProvider(TcxCustomDataProvider* provider) { currentProvider_ = provider; }
    TcxCustomDataController* GetDataController() const;
    int ProviderCount() const { return static_cast<int>(providers_.size()); }

protected:
    void Destroy() override;

private:
    void RemoveFromProviders();

    std::vector<TcxCustomDataProvider*> providers_;
    TcxCustomDataProvider* currentProvider_ = nullptr;
};
