#pragma once
// The data controller's filter: criteria whose conditions filter the
// controller's fields, the value list that fills a filter drop-down from
// the records, and the list of further criteria a controller creates.

#include <string>
#include <vector>

#include "components/data/cxFilter.h"
#include "platform/hostlib/core/event.h"
#include "platform/hostlib/core/filer.h"

class TcxCustomDataController;
class TcxCustomDataField;
class TcxDataFilterValueList;

using TcxDataFilterGetValueListEvent = hostlib::Event<TcxFilterCriteria*, int, TcxDataFilterValueList*>;

class TcxDataFilterCriteria : public TcxFilterCriteria {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    virtual void Construct(TcxCustomDataController* controller) { controller_ = controller; }
    void BeforeDestruction() override;
    void DefineProperties(hostlib::TFiler& filer) override;
    void Assign(hostlib::TPersistent* source) override;
    int GetIDByItemLink(hostlib::TObject* itemLink) override;
    hostlib::TClass GetItemClass() const override;
    hostlib::TObject* GetItemLinkByID(int id) override;
    hostlib::TClass GetValueListClass() const override;
    void Update() override;
    void AssignEvents(hostlib::TPersistent* source) override;
    TcxFilterCriteriaItem* AddItem(TcxFilterCriteriaItemList* parent, hostlib::TObject* itemLink, TcxFilterOperatorKind kind,
                                   const hostlib::Variant& value, const std::string& displayValue) override;
    TcxFilterCriteriaItem* FindItemByItemLink(hostlib::TObject* itemLink) override;
    // The caller owns the list.
    virtual TcxDataFilterValueList* CreateValueList();
    virtual bool IsFiltering() const;

    bool DoFilterRecord(int recordIndex);
    void RemoveItemByField(TcxCustomDataField* field);
    bool Active() const { return active_; }
    void SetActive(bool value);
    bool IsInternal() const;
    bool IsLoading() const;
    bool IsDestroying() const;
    TcxCustomDataController* DataController() const { return controller_; }

    TcxDataFilterGetValueListEvent OnGetValueList;

protected:
    void Destroy() override;

private:
    // A data field for an item link that is one, or the field of an item.
    hostlib::TObject* FieldOf(hostlib::TObject* itemLink) const;

    TcxCustomDataController* controller_ = nullptr;
    bool active_ = false;
    bool destroying_ = false;
};

// A condition on one data field of the controller.
class TcxDataFilterCriteriaItem : public TcxFilterCriteriaItem {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    hostlib::Variant GetDataValue(hostlib::TObject* data) override;
    std::string GetFieldCaption() override;
    std::string GetFieldName() override;
    hostlib::TObject* GetItemLink() const override;
    TcxCustomDataController* GetDataController() const;
    TcxCustomDataField* GetField() const;
};

class TcxDataFilterValueList : public TcxFilterValueList {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    // "(All)", "(Custom...)", the item's distinct values over all records,
    // and "(Blanks)" and "(NonBlanks)" when some record has none.
    virtual void Load(int itemIndex);
    TcxCustomDataController* GetDataController() const;
};

// Further criteria made by the controller's CreateFilter; owns them.
class TcxDataFilterList : public hostlib::TObject {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Add(TcxDataFilterCriteria* criteria) { items_.push_back(criteria); }
    void Remove(TcxDataFilterCriteria* criteria);
    bool Contains(const TcxDataFilterCriteria* criteria) const;
    void Clear();
    void RemoveItemByField(TcxCustomDataField* field);
    int Count() const { return static_cast<int>(items_.size()); }
    TcxDataFilterCriteria* GetItem(int index) const { return items_.at(static_cast<std::size_t>(index)); }

protected:
    void Destroy() override;

private:
    std::vector<TcxDataFilterCriteria*> items_;
};
