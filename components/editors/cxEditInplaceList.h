#pragma once
// The hidden in-place editors of a list control: one per properties object
// (one per column kind), created on first use and owned by the list.

#include <memory>
#include <vector>

#include "components/editors/cxEditControl.h"

struct TcxEditListItem {
    TcxCustomEdit* Edit = nullptr;
    TcxCustomEditProperties* Properties = nullptr;
};

class TcxInplaceEditList : public hostlib::TObject {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    int Count() const { return static_cast<int>(items_.size()); }
    TcxEditListItem* Items(int index) const;
    // The editor serving these properties (created when missing), with the
    // properties assigned to it while its change events are held.
    TcxCustomEdit* GetEdit(TcxCustomEditProperties* properties);
    // The editor whose own properties are exactly of this class (created
    // when missing); its properties are left as they are.
    TcxCustomEdit* GetEdit(hostlib::TClass propertiesClass);
    TcxCustomEdit* FindEdit(TcxCustomEditProperties* properties) const;
    TcxEditListItem* FindItem(TcxCustomEditProperties* properties) const;
    void RemoveItem(TcxCustomEditProperties* properties);
    void RemoveItem(TcxEditListItem* item);
    // Last to first.
    void DestroyItems();

protected:
    void Destroy() override;
    // An invisible in-place editor of the properties' container class.
    virtual TcxCustomEdit* CreateEdit(TcxCustomEditProperties* properties);

private:
    TcxEditListItem* Add(TcxCustomEdit* edit, TcxCustomEditProperties* properties);

    std::vector<std::unique_ptr<TcxEditListItem>> items_;
};
