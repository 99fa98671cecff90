#pragma once
// Master-detail relations of the data controller (part of cxCustomData).
// A relation names the object a detail stands for; per master record a
// detail object, kept in an internal object-typed field of the master's
// storage, holds one link object per relation (made by the bound control)
// from which the control finds that record's detail controller.

#include <functional>
#include <vector>

#include "platform/hostlib/core/object.h"

class TcxCustomDataController;
class TcxCustomDataField;
class TcxCustomDataRelationList;

// One relation of one master record: the control's link object (owned) and
// the cached answer whether the detail has rows.
class TcxDetailInfoObject : public hostlib::TObject {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    hostlib::ObjectPtr<hostlib::TObject> LinkObject;
    bool HasChildren = false;
    bool HasChildrenAssigned = false;
};

// The details of one master record, indexed by relation; entries may be
// empty.
class TcxDetailObject : public hostlib::TObject {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    // Both return whether anything was there to clear.
    bool Clear();
    bool ClearInfoObject(int index);
    bool ClearHasChildrenFlag();
    void CorrectCount(int count);
    TcxDetailInfoObject* GetInfoObject(int index) const;
    void SetInfoObject(int index, TcxDetailInfoObject* info);
    hostlib::TObject* GetLinkObject(int index) const;
    void SetLinkObject(int index, hostlib::TObject* linkObject);
    int GetLinkObjectCount() const { return static_cast<int>(infos_.size()); }
    bool GetIsEmpty() const;

    int ActiveRelationIndex = -1;
    bool Expanded = false;

private:
    void Grow(int count);

    std::vector<hostlib::ObjectPtr<TcxDetailInfoObject>> infos_;
};

class TcxCustomDataRelation : public hostlib::TObject {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    virtual void RemoveDataField(TcxCustomDataField*) {}
    virtual void Construct(TcxCustomDataRelationList* relationList, hostlib::TObject* item);
    virtual void Assign(TcxCustomDataRelation*) {}

    void Changed();
    TcxCustomDataController* GetDataController() const;
    int GetIndex() const;
    TcxCustomDataRelationList* RelationList() const { return relationList_; }
    void SetRelationList(TcxCustomDataRelationList* list) { relationList_ = list; }
    hostlib::TObject* Item() const { return item_; }
    // The pattern detail controller, set when a controller becomes this
    // relation's pattern.
    TcxCustomDataController* DetailDataController() const { return detailDataController_; }
    void SetDetailDataController(TcxCustomDataController* controller) { detailDataController_ = controller; }

protected:
    void Destroy() override;

private:
    TcxCustomDataRelationList* relationList_ = nullptr;
    hostlib::TObject* item_ = nullptr;
    TcxCustomDataController* detailDataController_ = nullptr;
};

class TcxCustomDataRelationList : public hostlib::TObject {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    virtual void Construct(TcxCustomDataController* controller);

    TcxCustomDataRelation* Add(hostlib::TObject* item);
    void AddItem(TcxCustomDataRelation* relation);
    void RemoveItem(TcxCustomDataRelation* relation);
    void Assign(TcxCustomDataRelationList* source);
    void Clear();
    void Move(int from, int to);
    void RemoveByItem(hostlib::TObject* item);
    TcxCustomDataRelation* FindByItem(hostlib::TObject* item) const;
    void BeginUpdate() { ++lockCount_; }
    void EndUpdate();
    void Changed(TcxCustomDataRelation* relation);
    void Update(TcxCustomDataRelation* relation);
    void RemoveDataField(TcxCustomDataField* field);

    // The record's detail object, made on first use while some relation
    // has a pattern controller; nullptr otherwise.
    TcxDetailObject* GetDetailObject(int recordIndex);
    bool IsDetailObjectExist(int recordIndex, int relationIndex);
    bool ClearDetailObject(int recordIndex, int relationIndex);
    // The detail object stored in the record, without making one.
    TcxDetailObject* GetValueAsDetailObject(int recordIndex) const;
    bool IsEmpty() const;
    int GetCount() const { return static_cast<int>(items_.size()); }
    TcxCustomDataRelation* GetItem(int index) const { return items_.at(static_cast<std::size_t>(index)); }
    int IndexOf(const TcxCustomDataRelation* relation) const;
    TcxCustomDataController* DataController() const { return controller_; }
    TcxCustomDataField* DataField() const { return dataField_; }

protected:
    void Destroy() override;

private:
    void StoreDetailObject(int recordIndex, TcxDetailObject* detail);
    void ReleaseDetailObject(int recordIndex, TcxDetailObject* detail);

    TcxCustomDataController* controller_ = nullptr;
    std::vector<TcxCustomDataRelation*> items_;
    TcxCustomDataField* dataField_ = nullptr;
    int lockCount_ = 0;
};

using TcxDataControllerEachDetailProc = std::function<void(TcxCustomDataController* detail)>;
