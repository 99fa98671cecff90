#pragma once
// Pointer lists and string lists of the host library. Index errors raise
// EListError / EStringListError "List index out of bounds (%d)".

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/hostlib/core/component.h"
#include "platform/hostlib/core/event.h"

namespace hostlib {

class TStream;

enum TListNotification { lnAdded, lnExtracted, lnDeleted };

class TList : public TObject {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }

    using CompareFn = std::function<int(void*, void*)>;

    ~TList() override;

    int Count() const { return static_cast<int>(items_.size()); }
    // Growing fills with nullptr; shrinking deletes from the end.
    void SetCount(int count);
    int Capacity() const { return capacity_; }
    // Raises EListError when below Count.
    void SetCapacity(int capacity);
    void* Items(int index) const;
    void SetItems(int index, void* item);
    void* operator[](int index) const { return Items(index); }

    int Add(void* item);
    void Insert(int index, void* item);
    void Delete(int index);
    // Index of the removed item, -1 when absent.
    int Remove(void* item);
    void* Extract(void* item);
    int IndexOf(void* item) const;
    void Exchange(int index1, int index2);
    void Move(int curIndex, int newIndex);
    void* First() const { return Items(0); }
    void* Last() const { return Items(Count() - 1); }
    // Removes the nullptr items.
    void Pack();
    void Sort(const CompareFn& compare);
    virtual void Clear();
    TList* Expand();

protected:
    virtual void Notify(void* item, TListNotification action);
    void Destroy() override;
    [[noreturn]] static void Error(const char* message, int data);
    void CheckIndex(int index) const;

private:
    std::vector<void*> items_;
    int capacity_ = 0;
};

// A list of objects that, when it owns them, frees deleted items.
class TObjectList : public TList {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }

    TObjectList() = default;
    explicit TObjectList(bool ownsObjects) : ownsObjects_(ownsObjects) {}
    // A list that was not freed through Free (a member, say) still frees
    // the objects it owns.
    ~TObjectList() override;

    bool OwnsObjects() const { return ownsObjects_; }
    void SetOwnsObjects(bool value) { ownsObjects_ = value; }
    TObject* Items(int index) const { return static_cast<TObject*>(TList::Items(index)); }
    void SetItems(int index, TObject* item) { TList::SetItems(index, item); }
    TObject* operator[](int index) const { return Items(index); }
    int Add(TObject* item) { return TList::Add(item); }
    void Insert(int index, TObject* item) { TList::Insert(index, item); }
    int Remove(TObject* item) { return TList::Remove(item); }
    TObject* Extract(TObject* item) { return static_cast<TObject*>(TList::Extract(item)); }
    int IndexOf(TObject* item) const { return TList::IndexOf(item); }

protected:
    void Notify(void* item, TListNotification action) override;

private:
    bool ownsObjects_ = true;
};

enum TDuplicates { dupIgnore, dupAccept, dupError };

// Abstract list of strings with associated objects.
class TStrings : public TPersistent {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }

    virtual int Count() const = 0;
    virtual std::string Get(int index) const = 0;
    virtual void Put(int index, const std::string& s);
    virtual TObject* GetObject(int index) const;
    virtual void PutObject(int index, TObject* object);
    virtual void Insert(int index, const std::string& s) = 0;
    virtual void InsertObject(int index, const std::string& s, TObject* object);
    virtual void Delete(int index) = 0;
    virtual void Clear() = 0;
    virtual int Add(const std::string& s);
    virtual int AddObject(const std::string& s, TObject* object);
    void Append(const std::string& s) { Add(s); }
    virtual void AddStrings(TStrings* strings);
    void AddStrings(const std::vector<std::string>& strings);
    // Index of the first equal string (case rule of the list), -1 if none.
    virtual int IndexOf(const std::string& s) const;
    int IndexOfName(const std::string& name) const;
    int IndexOfObject(TObject* object) const;
    virtual void Exchange(int index1, int index2);
    virtual void Move(int curIndex, int newIndex);
    bool Equals(TStrings* other) const;

    std::string Strings(int index) const { return Get(index); }
    std::string operator[](int index) const { return Get(index); }
    TObject* Objects(int index) const { return GetObject(index); }

    // Lines each followed by the line break.
    virtual std::string Text() const;
    // Splits at CR LF, LF or CR.
    virtual void SetText(std::string_view text);
    // Items separated by commas; items holding blanks, commas, quotes or
    // control characters are double-quoted.
    std::string CommaText() const;
    void SetCommaText(std::string_view text);
    std::string DelimitedText() const;
    void SetDelimitedText(std::string_view text);
    char Delimiter() const { return delimiter_; }
    void SetDelimiter(char c) { delimiter_ = c; }
    char QuoteChar() const { return quoteChar_; }
    void SetQuoteChar(char c) { quoteChar_ = c; }
    // With a strict delimiter, blanks do not separate items.
    bool StrictDelimiter() const { return strictDelimiter_; }
    void SetStrictDelimiter(bool v) { strictDelimiter_ = v; }
    char NameValueSeparator() const { return nameValueSeparator_; }
    void SetNameValueSeparator(char c) { nameValueSeparator_ = c; }
    const std::string& LineBreak() const { return lineBreak_; }
    void SetLineBreak(std::string lb) { lineBreak_ = std::move(lb); }

    // "Name=Value" lines.
    std::string Names(int index) const;
    std::string Values(const std::string& name) const;
    // Setting "" deletes the line.
    void SetValues(const std::string& name, const std::string& value);
    std::string ValueFromIndex(int index) const;
    void SetValueFromIndex(int index, const std::string& value);

    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return updateCount_; }

    void Assign(TPersistent* source) override;
    void LoadFromStream(TStream& stream);
    void SaveToStream(TStream& stream) const;
    void LoadFromFile(const std::string& fileName);
    void SaveToFile(const std::string& fileName) const;
    std::vector<std::string> ToVector() const;

protected:
    // Case rule for IndexOf and names; TStringList makes it settable.
    virtual int CompareStrings(const std::string& a, const std::string& b) const;
    virtual void SetUpdateState(bool updating);
    [[noreturn]] static void Error(const char* message, int data);

private:
    std::string JoinDelimited(char delimiter, char quote, bool strict) const;
    void SplitDelimited(std::string_view text, char delimiter, char quote, bool strict);

    char delimiter_ = ',';
    char quoteChar_ = '"';
    bool strictDelimiter_ = false;
    char nameValueSeparator_ = '=';
    std::string lineBreak_ = "\n";
    int updateCount_ = 0;
};

class TStringList : public TStrings {
public:
    static TClass StaticClass();
    TClass ClassType() const override { return StaticClass(); }

    using CompareFn = std::function<int(TStringList* list, int index1, int index2)>;

    ~TStringList() override;

    int Count() const override { return static_cast<int>(items_.size()); }
    std::string Get(int index) const override;
    void Put(int index, const std::string& s) override;
    TObject* GetObject(int index) const override;
    void PutObject(int index, TObject* object) override;
    void Insert(int index, const std::string& s) override;
    void InsertObject(int index, const std::string& s, TObject* object) override;
    void Delete(int index) override;
    void Clear() override;
    int Add(const std::string& s) override;
    int AddObject(const std::string& s, TObject* object) override;
    int IndexOf(const std::string& s) const override;
    void Exchange(int index1, int index2) override;
    void Move(int curIndex, int newIndex) override;
    // Binary search in a sorted list: true and the index when found, else
    // false and the insertion index.
    virtual bool Find(const std::string& s, int& index) const;
    virtual void Sort();
    virtual void CustomSort(const CompareFn& compare);

    bool Sorted() const { return sorted_; }
    void SetSorted(bool value);
    TDuplicates Duplicates() const { return duplicates_; }
    void SetDuplicates(TDuplicates d) { duplicates_ = d; }
    // Case-insensitive (locale-aware) by default.
    bool CaseSensitive() const { return caseSensitive_; }
    void SetCaseSensitive(bool value);
    // When set, deleting or clearing frees the objects.
    bool OwnsObjects() const { return ownsObjects_; }
    void SetOwnsObjects(bool value) { ownsObjects_ = value; }

    TNotifyEvent& OnChange() { return onChange_; }
    TNotifyEvent& OnChanging() { return onChanging_; }

protected:
    int CompareStrings(const std::string& a, const std::string& b) const override;
    void SetUpdateState(bool updating) override;
    virtual void Changed();
    virtual void Changing();
    void Destroy() override;

private:
    struct Item {
        std::string text;
        TObject* object = nullptr;
    };
    void InsertItem(int index, const std::string& s, TObject* object);
    void CheckIndex(int index) const;
    void QuickSort(int lo, int hi, const CompareFn& compare);

    std::vector<Item> items_;
    bool sorted_ = false;
    TDuplicates duplicates_ = dupIgnore;
    bool caseSensitive_ = false;
    bool ownsObjects_ = false;
    TNotifyEvent onChange_;
    TNotifyEvent onChanging_;
};

}  // namespace hostlib
