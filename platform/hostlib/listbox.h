#pragma once
// TListBox on the "LISTBOX" class: items with objects, the current item,
// the top item; a selection by the user raises OnClick, a double click
// OnDblClick. ItemIndex set by the program raises nothing.

#include "platform/hostlib/controls.h"
#include "platform/hostlib/lists.h"

namespace hostlib {

class TListBox : public TWinControl {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }
    void Construct(TComponent* owner) override;

    TStrings* Items() const { return items_.get(); }
    void SetItems(TStrings* value) { items_->Assign(value); }
    int Count() const { return items_->Count(); }
    // -1 without a current item; an index outside the items selects none.
    int ItemIndex() const;
    void SetItemIndex(int index);
    int TopIndex() const;
    void SetTopIndex(int index);
    bool Sorted() const { return items_->Sorted(); }
    void SetSorted(bool value) { items_->SetSorted(value); }
    void Clear() { items_->Clear(); }

protected:
    void Destroy() override;
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void Dispatch(TMessage& message) override;

private:
    void ItemsChanged(TObject*);
    void FillWindow();

    ObjectPtr<TStringList> items_;
    int itemIndex_ = -1;
};

}  // namespace hostlib
