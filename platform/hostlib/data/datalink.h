#pragma once
// TDataSource joins a data set to the links of data-aware objects;
// TDataLink receives the data set's notifications and keeps its own
// window of BufferCount records around the current one.

#include <cstdint>
#include <vector>

#include "platform/hostlib/core/component.h"
#include "platform/hostlib/data/dataset.h"

namespace hostlib {

class TDataLink;

using TDataChangeEvent = Event<TObject*, TField*>;

class TDataSource : public TComponent {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }

    TDataSet* DataSet() const { return dataSet_; }
    // Raises "Circular datalinks are not allowed" when the data set
    // follows this source.
    void SetDataSet(TDataSet* dataSet);
    // Whether data-aware controls may put the data set into edit mode.
    bool AutoEdit() const { return autoEdit_; }
    void SetAutoEdit(bool value) { autoEdit_ = value; }
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value);
    // Inactive without an open data set or while disabled.
    TDataSetState State() const;
    // Puts the data set into edit mode when AutoEdit allows and it browses.
    void Edit();
    bool IsLinkedTo(const TDataSet* dataSet) const;

    TNotifyEvent OnStateChange;
    TDataChangeEvent OnDataChange;
    TNotifyEvent OnUpdateData;

    // Used by links and the data set.
    void AddLink(TDataLink* link);
    void RemoveLink(TDataLink* link);
    int LinkCount() const { return static_cast<int>(links_.size()); }
    void DataEvent(TDataEvent event, std::intptr_t info);

protected:
    void Destroy() override;
    void Notification(TComponent* component, TOperation operation) override;

private:
    void NotifyLinks(TDataEvent event, std::intptr_t info);

    TDataSet* dataSet_ = nullptr;
    bool autoEdit_ = true;
    bool enabled_ = true;
    TDataSetState lastState_ = dsInactive;
    std::vector<TDataLink*> links_;
};

class TDataLink : public TPersistent {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }
    ~TDataLink() override;

    TDataSource* DataSource() const { return dataSource_; }
    void SetDataSource(TDataSource* source);
    TDataSet* DataSet() const { return dataSource_ ? dataSource_->DataSet() : nullptr; }
    bool Active() const { return active_; }
    // The data set is in edit, insert or set-key state and the link is not
    // read-only.
    bool Editing() const { return editing_; }
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool value);
    // Whether the link belongs to a visual control (which the data set asks
    // to focus a field).
    bool VisualControl() const { return visualControl_; }
    void SetVisualControl(bool value) { visualControl_ = value; }

    // The window: BufferCount records holding the current one.
    int BufferCount() const { return bufferCount_; }
    void SetBufferCount(int value);
    // Records in the window (fewer than BufferCount at the end).
    int RecordCount() const;
    // Row of the current record in the window; setting it makes field reads
    // see that row until it is set back.
    int ActiveRecord() const;
    void SetActiveRecord(int value);
    bool Bof() const;
    bool Eof() const;
    int MoveBy(int distance);

    // Puts the data set into edit mode through the data source; true when
    // the link is editing afterwards.
    bool Edit();
    // Writes the pending value (UpdateData) unless one is being written.
    void UpdateRecord();

    // Entry point of the data source's notifications.
    virtual void DataEvent(TDataEvent event, std::intptr_t info);
    // Actions a data-aware control passes on; a link that handles one
    // answers true. The library has no data-set actions of its own.
    virtual bool ExecuteAction(TComponent* action) { (void)action; return false; }
    virtual bool UpdateAction(TComponent* action) { (void)action; return false; }

protected:
    void Destroy() override;
    virtual void ActiveChanged() {}
    virtual void CheckBrowseMode() {}
    virtual void DataSetChanged() { RecordChanged(nullptr); }
    virtual void DataSetScrolled(int distance) { (void)distance; DataSetChanged(); }
    virtual void EditingChanged() {}
    virtual void FocusControl(TField*& field) { (void)field; }
    virtual void LayoutChanged() { DataSetChanged(); }
    virtual void RecordChanged(TField* field) { (void)field; }
    virtual void UpdateData() {}

private:
    friend class TDataSource;
    void UpdateState();
    // Moves the window to hold the cursor; returns how far it moved.
    int PlaceWindow();
    void ResetWindow();

    TDataSource* dataSource_ = nullptr;
    bool active_ = false;
    bool editing_ = false;
    bool readOnly_ = false;
    bool visualControl_ = false;
    bool updating_ = false;
    int bufferCount_ = 1;
    int first_ = 0;
};

}  // namespace hostlib
