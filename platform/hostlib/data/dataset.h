#pragma once
// TDataSet: an ordered set of records seen through a cursor, with fields,
// states, editing, bookmarks, searching, filtering and the notifications
// that data sources pass to their links.
//
// The records themselves live in a descendant's store (the Store...
// operations), addressed by row ids that stay valid while other rows come
// and go; the base keeps the visible rows (those the filter lets through)
// in store order, the cursor, the edit buffer and the states.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/hostlib/core/component.h"
#include "platform/hostlib/data/dbcommon.h"
#include "platform/hostlib/data/fields.h"
#include "platform/hostlib/core/variant.h"

namespace hostlib {

class TDataSet;
class TDataSource;
class TDataLink;
class FilterExpression;

using TDataSetNotifyEvent = Event<TDataSet*>;
// (DataSet, Accept): the handler clears Accept to hide the record.
using TFilterRecordEvent = Event<TDataSet*, bool&>;

// The description of one stored column.
class TFieldDef : public TPersistent {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }

    std::string Name;
    TFieldType DataType = ftUnknown;
    int Size = 0;
    bool Required = false;
    int Precision = 0;
};

class TFieldDefs : public TPersistent {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }

    // Raises EDatabaseError for an empty or duplicate name.
    TFieldDef* Add(const std::string& name, TFieldType type, int size = 0, bool required = false);
    int Count() const { return static_cast<int>(items_.size()); }
    TFieldDef* Items(int index) const;
    // Case-insensitive; -1 when absent.
    int IndexOf(const std::string& name) const;
    TFieldDef* Find(const std::string& name) const;
    void Clear() { items_.clear(); }

private:
    std::vector<ObjectPtr<TFieldDef>> items_;
};

class TDataSet : public TComponent {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }

    TDataSet();
    ~TDataSet() override;
    void Construct(TComponent* owner) override;

    // ---- opening ---------------------------------------------------------
    bool Active() const { return state_ != dsInactive; }
    void SetActive(bool value);
    void Open() { SetActive(true); }
    void Close() { SetActive(false); }
    TDataSetState State() const { return state_; }
    // Raises "Cannot perform this operation on a closed dataset".
    void CheckActive() const;
    void CheckInactive() const;
    virtual bool IsUniDirectional() const { return false; }
    virtual bool IsSequenced() const { return true; }
    // Raises when the data set cannot be modified.
    virtual bool CanModify() const { return !readOnly_; }
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool value) { readOnly_ = value; }

    // ---- fields ----------------------------------------------------------
    TFieldDefs& FieldDefs() { return fieldDefs_; }
    int FieldCount() const { return static_cast<int>(fields_.size()); }
    TField* Fields(int index) const;
    const std::vector<TField*>& FieldList() const { return fields_; }
    // Case-insensitive; nullptr when absent.
    TField* FindField(const std::string& name) const;
    // Raises "Field '%s' not found" through DatabaseError.
    TField* FieldByName(const std::string& name) const;
    // The fields of a ";"-separated name list (raising for unknown names).
    std::vector<TField*> GetFieldList(const std::string& names) const;
    void GetFieldNames(std::vector<std::string>& names) const;
    // One name: that field's value; several: a Variant array of them.
    Variant FieldValues(const std::string& names) const;
    void SetFieldValues(const std::string& names, const Variant& value);
    // True while the fields were created by the data set from its field
    // definitions (freed on close).
    bool DefaultFields() const { return defaultFields_; }

    // ---- navigation ------------------------------------------------------
    void First();
    void Last();
    void Next() { MoveBy(1); }
    void Prior() { MoveBy(-1); }
    // Moves as far as the records allow; returns the distance moved.
    int MoveBy(int distance);
    bool Bof() const { return bof_; }
    bool Eof() const { return eof_; }
    bool IsEmpty() const;
    // Visible records (a record being inserted is not counted).
    int RecordCount() const;
    // 1-based position of the current record; -1 without one.
    int RecNo() const;
    void SetRecNo(int value);
    void Refresh();

    // ---- editing ---------------------------------------------------------
    void Edit();
    void Insert();
    void Append();
    void Post();
    void Cancel();
    void Delete();
    // Posts a modified record, cancels an unmodified one.
    void CheckBrowseMode();
    // Asks every link to write its pending value into the fields.
    void UpdateRecord();
    // Enters the set-key state (a key buffer edited through the fields);
    // Post or Cancel leaves it.
    void SetKey();
    bool Modified() const { return modified_; }
    // Appends or inserts a record with the values in field order (Empty
    // leaves a field alone) and posts it; on an error nothing is added.
    void AppendRecord(const std::vector<Variant>& values) { AddRecord(values, true); }
    void InsertRecord(const std::vector<Variant>& values) { AddRecord(values, false); }

    // ---- bookmarks -------------------------------------------------------
    TBookmark Bookmark() const { return GetBookmark(); }
    void SetBookmark(const TBookmark& bookmark) { GotoBookmark(bookmark); }
    // Of the row field reads see (another row of a link's window while the
    // link reads it).
    TBookmark GetBookmark() const;
    // Raises "Record not found" for an invalid bookmark.
    void GotoBookmark(const TBookmark& bookmark);
    bool BookmarkValid(const TBookmark& bookmark) const;
    // Store order; an empty bookmark sorts first.
    int CompareBookmarks(const TBookmark& a, const TBookmark& b) const;
    void FreeBookmark(TBookmark&) {}

    // ---- searching -------------------------------------------------------
    // Moves to the first record whose fields equal the values; stays when
    // none does.
    bool Locate(const std::string& keyFields, const Variant& keyValues, TLocateOptions options = {});
    // The result fields of the first matching record without moving; Null
    // when none matches.
    Variant Lookup(const std::string& keyFields, const Variant& keyValues, const std::string& resultFields);

    // ---- controls ----------------------------------------------------------
    void DisableControls();
    void EnableControls();
    bool ControlsDisabled() const { return disableCount_ > 0; }

    // ---- filtering ---------------------------------------------------------
    const std::string& Filter() const { return filter_; }
    // A text that cannot be read raises when filtering starts and leaves
    // the previous filter in force.
    void SetFilter(const std::string& text);
    bool Filtered() const { return filtered_; }
    void SetFiltered(bool value);
    TFilterOptions FilterOptions() const { return filterOptions_; }
    void SetFilterOptions(TFilterOptions options);

    // ---- master data source (for data sets that follow another) -----------
    virtual TDataSource* DataSource() const { return nullptr; }

    // ---- events ------------------------------------------------------------
    TDataSetNotifyEvent BeforeOpen, AfterOpen, BeforeClose, AfterClose;
    TDataSetNotifyEvent BeforeInsert, AfterInsert, BeforeEdit, AfterEdit;
    TDataSetNotifyEvent BeforePost, AfterPost, BeforeCancel, AfterCancel;
    TDataSetNotifyEvent BeforeDelete, AfterDelete, BeforeScroll, AfterScroll;
    TDataSetNotifyEvent OnNewRecord;
    TFilterRecordEvent OnFilterRecord;
    void SetOnFilterRecord(const TFilterRecordEvent& handler);

    // ---- used by fields, links and data sources ------------------------------
    void AddField(TField* field);
    void RemoveField(TField* field);
    Variant ReadFieldValue(const TField& field) const;
    void WriteFieldValue(TField& field, const Variant& value);
    // Sends an event to every data source's links (held back while the
    // controls are disabled, except the requests to write pending values).
    void DataEvent(TDataEvent event, std::intptr_t info);
    void AddDataSource(TDataSource* source);
    void RemoveDataSource(TDataSource* source);
    // Index of the current record among the visible ones (a record being
    // inserted included) and their count.
    int CursorIndex() const { return cursor_; }
    int CursorCount() const { return static_cast<int>(visible_.size()); }
    // Makes field reads see the visible record at that index; -1 returns
    // to the current record.
    void SetReadIndex(int index) { readIndex_ = index; }
    int ReadIndex() const { return readIndex_; }

protected:
    void Destroy() override;
    void Notification(TComponent* component, TOperation operation) override;

    // The store. Row ids are positive and stable.
    virtual int StoreCount() const = 0;
    virtual int StoreRowId(int index) const = 0;
    // -1 for an id that is not stored.
    virtual int StoreIndexOf(int rowId) const = 0;
    virtual Variant StoreValue(int rowId, int column) const = 0;
    // Inserts before the row beforeId (0: at the end); returns the new id.
    virtual int StoreInsert(int beforeId, std::vector<Variant> values) = 0;
    virtual void StoreUpdate(int rowId, std::vector<Variant> values) = 0;
    virtual void StoreDelete(int rowId) = 0;
    // Open and close hooks of the descendant (the base binds fields).
    virtual void InternalOpen() {}
    virtual void InternalClose() {}

    void SetState(TDataSetState state);

private:
    static constexpr int kPendingRow = -1;
    static constexpr int kNoRow = 0;

    class TempRow;
    friend class TempRow;

    void OpenCursor();
    void CloseCursor();
    void CreateDefaultFields();
    void BindFields();
    void DestroyDefaultFields();
    void CheckEditing(const TField& field) const;
    void CheckCanModify() const;
    void BeginInsert(bool append);
    void AddRecord(const std::vector<Variant>& values, bool append);
    void SetFilterState(const std::string& text, bool filtered, TFilterOptions options);
    void CheckRequiredFields();
    // Rebuilds the visible rows, keeping the cursor on keepId when it is
    // still visible, else near its old index.
    void Rebuild(int keepId);
    bool Accepts(int rowId);
    int CurrentRowId() const;
    int FindRow(const std::string& keyFields, const Variant& keyValues, TLocateOptions options);
    void MoveCursorTo(int index);
    std::unique_ptr<FilterExpression> PrepareFilter(const std::string& text, TFilterOptions options) const;
    int BookmarkRow(const TBookmark& bookmark) const;

    TDataSetState state_ = dsInactive;
    bool readOnly_ = false;
    TFieldDefs fieldDefs_;
    std::vector<TField*> fields_;
    bool defaultFields_ = false;
    std::vector<TDataSource*> dataSources_;

    std::vector<int> visible_;
    int cursor_ = 0;
    bool bof_ = true;
    bool eof_ = true;
    int readIndex_ = -1;
    int tempRowId_ = kNoRow;
    bool destroyingFields_ = false;
    std::vector<Variant> buffer_;
    bool modified_ = false;

    int disableCount_ = 0;
    TDataSetState disableState_ = dsInactive;
    bool heldBack_ = false;

    std::string filter_;
    bool filtered_ = false;
    TFilterOptions filterOptions_;
    std::unique_ptr<FilterExpression> filterExpr_;
};

// The field a data-aware control names; raises "Name: Field 'x' not found"
// with the control's name.
TField* GetFieldProperty(TDataSet* dataSet, const TComponent* control, const std::string& fieldName);

}  // namespace hostlib
