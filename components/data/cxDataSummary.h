#pragma once
// Summaries of a data controller: footer values over the filtered records
// and group values for every group of every grouping level, their texts,
// values an application sets itself, and the summary groups that give a
// grouping item summary items of its own.

#include <string>
#include <vector>

#include "platform/hostlib/core/collection.h"
#include "platform/hostlib/core/event.h"
#include "platform/hostlib/core/object.h"
#include "platform/hostlib/core/variant.h"

class TcxCustomDataController;
class TcxCustomDataField;
class TcxDataSummary;
class TcxDataSummaryGroup;

enum TcxSummaryKind { skNone, skSum, skMin, skMax, skCount, skAverage };
enum TcxSummaryPosition { spGroup, spFooter };
enum TcxSummaryOption { soNullIgnore, soSelectedRecords };
using TcxSummaryOptions = hostlib::TSet<TcxSummaryOption>;
enum TcxSummaryProperty { spFormat, spKind };
using TcxSummaryProperties = hostlib::TSet<TcxSummaryProperty>;

class TcxDataSummaryItem;
class TcxDataSummaryItems;

struct TcxSummaryEventArguments {
    int RecordIndex = -1;
    TcxDataSummaryItem* SummaryItem = nullptr;
};

struct TcxSummaryEventOutArguments {
    hostlib::Variant Value;
    hostlib::Variant SummaryValue;
    int CountValue = 0;
    bool Done = false;
};

using TcxDataSummaryItemGetTextEvent = hostlib::Event<TcxDataSummaryItem*, const hostlib::Variant&, bool, std::string&>;
using TcxSummaryEvent =
    hostlib::Event<TcxDataSummaryItems*, const TcxSummaryEventArguments&, TcxSummaryEventOutArguments&>;
using TcxAfterSummaryEvent = hostlib::Event<TcxDataSummary*>;

// The accumulators of one calculation: one element per summary item.
using TcxDataSummaryValues = std::vector<hostlib::Variant>;
using TcxDataSummaryCountValues = std::vector<int>;

// A collection item bound to one data field of the controller (the field of
// its item link).
class TcxCustomDataSummaryItem : public hostlib::TCollectionItem {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    virtual TcxCustomDataController* GetDataController() const = 0;
    hostlib::TObject* GetItemLink() const;
    void SetItemLink(hostlib::TObject* item);
    TcxCustomDataField* Field() const { return field_; }
    // Unbinds without notification (the field is going away).
    void ClearField() { field_ = nullptr; }
    void Assign(hostlib::TPersistent* source) override;

protected:
    virtual void ItemLinkChanging(TcxCustomDataField*) {}

private:
    TcxCustomDataField* field_ = nullptr;
};

class TcxDataSummaryItem : public TcxCustomDataSummaryItem {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    TcxCustomDataController* GetDataController() const override;
    void Assign(hostlib::TPersistent* source) override;
    virtual bool IsDataBinded() const;
    virtual bool IsPositionStored() const;
    virtual void FormatValue(const hostlib::Variant& value, bool isFooter, std::string& text) const;
    std::string FormatValue(const hostlib::Variant& value, bool isFooter) const;
    // The field summarised; a descendant may name another than its item's.
    virtual TcxCustomDataField* DataField() const { return Field(); }
    TcxDataSummaryItems* SummaryItems() const;

    const std::string& Format() const { return format_; }
    void SetFormat(const std::string& value);
    TcxSummaryKind Kind() const { return kind_; }
    void SetKind(TcxSummaryKind value);
    TcxSummaryPosition Position() const;
    void SetPosition(TcxSummaryPosition value);

    TcxDataSummaryItemGetTextEvent OnGetText;

protected:
    void Destroy() override;

private:
    std::string format_;
    TcxSummaryKind kind_ = skNone;
    TcxSummaryPosition position_ = spGroup;
};

class TcxDataSummaryItems : public hostlib::TCollection {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    virtual void Construct(TcxDataSummary* summary, hostlib::TClass itemClass);
    void Assign(hostlib::TPersistent* source) override;
    hostlib::TPersistent* GetOwner() const override;
    virtual TcxSummaryPosition GetItemPosition(const TcxDataSummaryItem* item) const;
    virtual bool IsPositionStored(const TcxDataSummaryItem* item) const;
    virtual TcxDataSummaryItem* GetDataItem(int itemIndex, TcxSummaryPosition position) const;
    virtual bool IsPropertiesEmpty(TcxSummaryProperties properties, const std::string& format, TcxSummaryKind kind) const;
    virtual void AssignEvents(TcxDataSummaryItems* source);
    virtual std::string DefaultFormat(hostlib::TVarType varType, TcxSummaryKind kind, bool isFooter) const;
    virtual void GetGroupText(const hostlib::Variant& values, std::string& text) const;

    TcxDataSummaryItem* Add() { return AddAs<TcxDataSummaryItem>(); }
    TcxDataSummaryItem* Items(int index) const;
    int IndexOf(const TcxDataSummaryItem* item) const;
    int IndexOfItemLink(const hostlib::TObject* item) const;
    TcxDataSummaryItem* ItemOfItemLink(const hostlib::TObject* item) const;
    int IndexOfField(const TcxCustomDataField* field) const;
    TcxDataSummaryItem* ItemOfField(const TcxCustomDataField* field) const;
    TcxDataSummaryItem* AddDataItem(int itemIndex, TcxSummaryPosition position);
    void ChangedView();
    std::string GetDataItemFormat(int itemIndex, TcxSummaryPosition position) const;
    TcxSummaryKind GetDataItemKind(int itemIndex, TcxSummaryPosition position) const;
    void SetDataItemFormat(int itemIndex, TcxSummaryPosition position, const std::string& value);
    void SetDataItemKind(int itemIndex, TcxSummaryPosition position, TcxSummaryKind value);

    TcxDataSummary* Summary() const { return summary_; }
    TcxCustomDataController* DataController() const;

    TcxSummaryEvent OnSummary;

protected:
    void Update(hostlib::TCollectionItem* item) override;

private:
    // Built only with their summary.
    using hostlib::TCollection::Construct;

    TcxDataSummary* summary_ = nullptr;
};

// Footer items: every item sits in the footer.
class TcxDataFooterSummaryItems : public TcxDataSummaryItems {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    TcxSummaryPosition GetItemPosition(const TcxDataSummaryItem* item) const override;
    bool IsPositionStored(const TcxDataSummaryItem* item) const override;
};

class TcxDataGroupSummaryItems : public TcxDataSummaryItems {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Assign(hostlib::TPersistent* source) override;
    void GetGroupText(const hostlib::Variant& values, std::string& text) const override;
    hostlib::TPersistent* GetOwner() const override;

    const std::string& BeginText() const { return beginText_; }
    void SetBeginText(const std::string& value);
    const std::string& EndText() const { return endText_; }
    void SetEndText(const std::string& value);
    const std::string& Separator() const { return separator_; }
    void SetSeparator(const std::string& value);
    TcxDataSummaryGroup* SummaryGroup() const { return summaryGroup_; }
    void SetSummaryGroup(TcxDataSummaryGroup* group) { summaryGroup_ = group; }

private:
    void SetText(std::string& target, const std::string& value);

    std::string beginText_ = "(";
    std::string endText_ = ")";
    std::string separator_ = ",";
    TcxDataSummaryGroup* summaryGroup_ = nullptr;
};

// An item whose grouping selects the summary group owning the link.
class TcxDataSummaryGroupItemLink : public TcxCustomDataSummaryItem {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    TcxCustomDataController* GetDataController() const override;
    TcxDataSummaryGroup* SummaryGroup() const;

protected:
    void ItemLinkChanging(TcxCustomDataField* field) override;
};

class TcxDataSummaryGroupItemLinks : public hostlib::TCollection {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    virtual void Construct(TcxDataSummaryGroup* group, hostlib::TClass itemClass);
    hostlib::TPersistent* GetOwner() const override;
    TcxDataSummaryGroupItemLink* Add() { return AddAs<TcxDataSummaryGroupItemLink>(); }
    TcxDataSummaryGroupItemLink* Items(int index) const;
    int IndexOfItemLink(const hostlib::TObject* item) const;
    TcxDataSummaryGroup* SummaryGroup() const { return group_; }

protected:
    void Update(hostlib::TCollectionItem* item) override;

private:
    using hostlib::TCollection::Construct;

    TcxDataSummaryGroup* group_ = nullptr;
};

class TcxDataSummaryGroups;

class TcxDataSummaryGroup : public hostlib::TCollectionItem {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Construct(hostlib::TCollection* collection) override;
    void Assign(hostlib::TPersistent* source) override;
    TcxDataSummaryGroupItemLinks& Links() const { return *links_; }
    TcxDataGroupSummaryItems& SummaryItems() const { return *summaryItems_; }
    TcxDataSummaryGroups* SummaryGroups() const;
    TcxDataSummary* Summary() const;

protected:
    void Destroy() override;

private:
    hostlib::ObjectPtr<TcxDataSummaryGroupItemLinks> links_;
    hostlib::ObjectPtr<TcxDataGroupSummaryItems> summaryItems_;
};

class TcxDataSummaryGroups : public hostlib::TCollection {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    virtual void Construct(TcxDataSummary* summary);
    hostlib::TPersistent* GetOwner() const override;
    TcxDataSummaryGroup* Add() { return AddAs<TcxDataSummaryGroup>(); }
    TcxDataSummaryGroup* Items(int index) const;
    TcxDataSummaryGroup* FindByItemLink(const hostlib::TObject* item) const;
    TcxDataSummary* Summary() const { return summary_; }

protected:
    void Update(hostlib::TCollectionItem* item) override;

private:
    using hostlib::TCollection::Construct;

    TcxDataSummary* summary_ = nullptr;
};

class TcxDataSummary : public hostlib::TPersistent {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    virtual void Construct(TcxCustomDataController* controller);
    void BeforeDestruction() override;
    void Assign(hostlib::TPersistent* source) override;
    hostlib::TPersistent* GetOwner() const override;

    virtual void BeginCalculateSummary(TcxDataSummaryItems& items, TcxDataSummaryValues& values,
                                       TcxDataSummaryCountValues& counts);
    virtual void CalculateSummary(TcxDataSummaryItems& items, int first, int last, TcxDataSummaryValues& values,
                                  TcxDataSummaryCountValues& counts);
    virtual void Changed(bool redrawOnly);
    virtual void DoAfterSummary();
    virtual void DoFinishSummaryValue(TcxDataSummaryItem& item, hostlib::Variant& value, int& count);
    virtual void DoSummaryValue(TcxDataSummaryItem& item, int recordIndex, hostlib::Variant& value, int& count);
    virtual void EndCalculateSummary(TcxDataSummaryItems& items, TcxDataSummaryCountValues& counts,
                                     TcxDataSummaryValues& values, hostlib::Variant& result);
    virtual int GetRecordIndex(int position) const;
    virtual hostlib::TClass GetSummaryGroupItemLinkClass() const;
    virtual hostlib::TClass GetSummaryItemClass() const;
    virtual bool IsValidSummaryValuesIndex(const hostlib::Variant& values, int index) const;
    virtual void Update(bool redrawOnly);
    virtual void AssignEvents(TcxDataSummary* source);
    virtual void Calculate();
    virtual void CalculateFooterSummary();
    virtual void CalculateGroupSummary();

    void BeginUpdate();
    void EndUpdate();
    void CancelUpdate();
    void Recalculate() { Changed(false); }
    void RemoveItemByField(TcxCustomDataField* field);

    hostlib::Variant GetFooterSummaryValue(int index) const;
    void SetFooterSummaryValue(int index, const hostlib::Variant& value);
    std::string GetFooterSummaryText(int index) const;
    TcxDataGroupSummaryItems* GetGroupSummaryItems(int level) const;
    hostlib::Variant GetGroupSummaryValues(int groupIndex) const;
    hostlib::Variant GetGroupSummaryValue(int groupIndex, int index) const;
    void SetGroupSummaryValue(int groupIndex, int index, const hostlib::Variant& value);
    hostlib::Variant GetGroupSummaryDisplayValue(int rowIndex, int level, int index) const;
    void SetGroupSummaryDisplayValue(int rowIndex, int level, int index, const hostlib::Variant& value);
    std::string GetGroupSummaryText(int rowIndex) const;
    int GetGroupFooterIndexOfItemLink(int level, const hostlib::TObject* item) const;
    std::string GetGroupFooterSummaryText(int rowIndex, int level, int index) const;

    TcxCustomDataController* DataController() const { return controller_; }
    TcxDataGroupSummaryItems& DefaultGroupSummaryItems() const { return *defaultGroupSummaryItems_; }
    TcxDataFooterSummaryItems& FooterSummaryItems() const { return *footerSummaryItems_; }
    TcxDataSummaryGroups& SummaryGroups() const { return *summaryGroups_; }
    TcxSummaryOptions Options() const { return options_; }
    void SetOptions(TcxSummaryOptions value);
    bool InAfterSummary() const { return inAfterSummary_; }
    bool Destroying() const { return destroying_; }

    TcxAfterSummaryEvent OnAfterSummary;

protected:
    void Destroy() override;

private:
    int GroupIndexOf(int rowIndex, int level) const;
    void SetCustomValue(hostlib::Variant& values, int index, const hostlib::Variant& value);
    void SummarizeGroups(int level, TcxDataSummaryItems& items);

    TcxCustomDataController* controller_ = nullptr;
    hostlib::ObjectPtr<TcxDataGroupSummaryItems> defaultGroupSummaryItems_;
    hostlib::ObjectPtr<TcxDataFooterSummaryItems> footerSummaryItems_;
    hostlib::ObjectPtr<TcxDataSummaryGroups> summaryGroups_;
    TcxSummaryOptions options_;
    hostlib::Variant footerValues_ = hostlib::Variant::Null();
    int lockCount_ = 0;
    bool inAfterSummary_ = false;
    bool customValue_ = false;
    bool destroying_ = false;
};
