#pragma once
// Finding records in a data controller: the incremental (type-ahead)
// search in one item, the locate objects that carry the values to look
// for in an internal record, and the value-definition readers that feed
// values into the record storage.

#include <string>
#include <vector>

#include "components/data/cxDataStorage.h"
#include "platform/hostlib/core/object.h"
#include "platform/hostlib/core/variant.h"

class TcxCustomDataController;
class TcxCustomDataField;

// Type-ahead search in one item. The search's own focus moves run with
// the search locked, so that only other focus changes cancel it.
class TcxDataControllerSearch : public hostlib::TObject {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    explicit TcxDataControllerSearch(TcxCustomDataController* controller) : controller_(controller) {}
    TcxDataControllerSearch() = default;

    // Searches from the focused record on, then from the top, for a
    // record whose text of the item begins with the text, and focuses it.
    virtual bool Locate(int itemIndex, const std::string& text);
    // The next match of the same text in one direction; never wraps.
    virtual bool LocateNext(bool forward);
    virtual void Cancel();

    int GetItemIndex() const;
    void SetItemIndex(int itemIndex);
    bool GetSearching() const;
    std::string GetSearchText() const;
    void Lock() { locked_ = true; }
    void Unlock() { locked_ = false; }
    bool Locked() const { return locked_; }

protected:
    // A position of the filtered record list, or -1. To -1 means the last
    // position (forward) or 0 (backward).
    virtual int DoSearch(int from, int to, bool forward, const std::string& text);
    virtual void DoFocusedRecord(int position);

private:
    bool Found(int position, const std::string& text);

    TcxCustomDataController* controller_ = nullptr;
    bool locked_ = false;
};

// Holds one internal record (negative index, 0 for none) with the values
// to look for.
class TcxDataControllerLocateObject : public hostlib::TObject {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    virtual void Construct(TcxCustomDataController* controller);
    virtual void Clear();
    virtual int FindRecordIndex() = 0;
    // Creates the internal record on first use and reads the values into it.
    void ReadData(TcxValueDefReader& reader);
    int RecordIndex() const { return recordIndex_; }
    TcxCustomDataController* DataController() const { return controller_; }

protected:
    void Destroy() override;

private:
    TcxCustomDataController* controller_ = nullptr;
    int recordIndex_ = 0;
};

// Finds the first record equal to the internal record in the key fields.
class TcxDataControllerKeyLocateObject : public TcxDataControllerLocateObject {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void AddField(TcxCustomDataField* field) { fields_.push_back(field); }
    void ClearFields() { fields_.clear(); }
    int FindRecordIndex() override;

private:
    std::vector<TcxCustomDataField*> fields_;
};

// Finds a record of the group the internal record's grouping values
// select, down to a level: by halving the sorted rows, or by scanning
// when a grouping item compares by its display text.
class TcxDataControllerGroupLocateObject : public TcxDataControllerLocateObject {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    void Construct(TcxCustomDataController* controller) override;
    int FindRecordIndex() override;
    int Level() const { return level_; }
    void SetLevel(int level);
    bool BinaryGroupSearch() const { return binarySearch_; }

private:
    void TakeFindFields();

    std::vector<TcxCustomDataField*> groupingFields_;
    std::vector<TcxCustomDataField*> findFields_;
    int level_ = 0;
    bool binarySearch_ = true;
};

// Values given by definition, kept in cells of its own.
class TcxValueDefUnboundReader : public TcxValueDefReader {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    hostlib::Variant GetValue(TcxValueDef* valueDef) override;
    bool IsInternal(TcxValueDef* valueDef) override;
    void SetValue(TcxValueDef* valueDef, const hostlib::Variant& value);
    // Frees the values from index on; the definitions stay listed.
    void Truncate(int index);
    void Clear() { Truncate(0); }

private:
    std::vector<TcxValueDef*> valueDefs_;
    std::vector<hostlib::Variant> values_;
};

// The values of one record of a controller.
class TcxValueDefRecordReader : public TcxValueDefReader {
public:
    static hostlib::TClass StaticClass();
    hostlib::TClass ClassType() const override { return StaticClass(); }

    TcxValueDefRecordReader(TcxCustomDataController* controller, int recordIndex)
        : controller_(controller), recordIndex_(recordIndex)
    {
    }
    TcxValueDefRecordReader() = default;

    std::string GetDisplayText(TcxValueDef* valueDef) override;
    hostlib::Variant GetValue(TcxValueDef* valueDef) override;
    bool IsInternal(TcxValueDef* valueDef) override;

private:
    TcxCustomDataField* FieldOf(TcxValueDef* valueDef) const;

    TcxCustomDataController* controller_ = nullptr;
    int recordIndex_ = -1;
};
