#include "platform/hostlib/core/lists.h"

#include <algorithm>

#include "platform/hostlib/core/exceptions.h"
#include "platform/hostlib/core/format.h"
#include "platform/hostlib/core/update_scope.h"
#include "platform/hostlib/core/streams.h"

namespace hostlib {

// ---- TList ---------------------------------------------------------------------

TClass TList::StaticClass()
{
    return DefineClass<TList, TObject>("TList");
}

TList::~TList()
{
    // Notify is virtual and no longer reaches descendants here; Destroy
    // already cleared the list on the Free path.
    items_.clear();
}

void TList::Destroy()
{
    Clear();
    TObject::Destroy();
}

void TList::Error(const char* message, int data)
{
    throw EListError(Format(message, data));
}

void TList::CheckIndex(int index) const
{
    if (index < 0 || index >= Count()) Error(messages::SListIndexError, index);
}

void TList::SetCount(int count)
{
    if (count < 0 || count > 134217727) Error(messages::SListCountError, count);
    if (count > capacity_) SetCapacity(count);
    if (count > Count()) {
        items_.resize(static_cast<std::size_t>(count), nullptr);
    } else {
        for (int i = Count() - 1; i >= count; --i) Delete(i);
    }
}

void TList::SetCapacity(int capacity)
{
    if (capacity < Count() || capacity > 134217727) Error(messages::SListCapacityError, capacity);
    capacity_ = capacity;
    items_.reserve(static_cast<std::size_t>(capacity));
}

void* TList::Items(int index) const
{
    CheckIndex(index);
    return items_[static_cast<std::size_t>(index)];
}

void TList::SetItems(int index, void* item)
{
    CheckIndex(index);
    void* old = items_[static_cast<std::size_t>(index)];
    if (old == item) return;
    items_[static_cast<std::size_t>(index)] = item;
    if (old) Notify(old, lnDeleted);
    if (item) Notify(item, lnAdded);
}

int TList::Add(void* item)
{
    const int index = Count();
    if (index == capacity_) capacity_ = std::max(4, capacity_ + capacity_ / 2 + 1);
    items_.push_back(item);
    if (item) Notify(item, lnAdded);
    return index;
}

void TList::Insert(int index, void* item)
{
    if (index < 0 || index > Count()) Error(messages::SListIndexError, index);
    if (Count() == capacity_) capacity_ = std::max(4, capacity_ + capacity_ / 2 + 1);
    items_.insert(items_.begin() + index, item);
    if (item) Notify(item, lnAdded);
}

void TList::Delete(int index)
{
    CheckIndex(index);
    void* item = items_[static_cast<std::size_t>(index)];
    items_.erase(items_.begin() + index);
    if (item) Notify(item, lnDeleted);
}

int TList::Remove(void* item)
{
    const int index = IndexOf(item);
    if (index >= 0) Delete(index);
    return index;
}

void* TList::Extract(void* item)
{
    const int index = IndexOf(item);
    if (index < 0) return nullptr;
    items_.erase(items_.begin() + index);
    Notify(item, lnExtracted);
    return item;
}

int TList::IndexOf(void* item) const
{
    auto it = std::find(items_.begin(), items_.end(), item);
    return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

void TList::Exchange(int index1, int index2)
{
    CheckIndex(index1);
    CheckIndex(index2);
    std::swap(items_[static_cast<std::size_t>(index1)], items_[static_cast<std::size_t>(index2)]);
}

void TList::Move(int curIndex, int newIndex)
{
    if (curIndex == newIndex) return;
    CheckIndex(curIndex);
    CheckIndex(newIndex);
    void* item = items_[static_cast<std::size_t>(curIndex)];
    items_.erase(items_.begin() + curIndex);
    items_.insert(items_.begin() + newIndex, item);
}

void TList::Pack()
{
    items_.erase(std::remove(items_.begin(), items_.end(), nullptr), items_.end());
}

void TList::Sort(const CompareFn& compare)
{
    // Stable, so equal items keep their order; a compare that throws
    // leaves the list as it was.
    std::vector<void*> sorted = items_;
    std::stable_sort(sorted.begin(), sorted.end(), [&](void* a, void* b) { return compare(a, b) < 0; });
    items_ = std::move(sorted);
}

void TList::Clear()
{
    while (!items_.empty()) Delete(Count() - 1);
    capacity_ = 0;
    items_.shrink_to_fit();
}

TList* TList::Expand()
{
    if (Count() == capacity_) SetCapacity(std::max(4, capacity_ * 2));
    return this;
}

void TList::Notify(void*, TListNotification) {}

TClass TObjectList::StaticClass()
{
    return DefineClass<TObjectList, TList>("TObjectList");
}

TObjectList::~TObjectList()
{
    if (!ownsObjects_) return;
    for (int i = Count() - 1; i >= 0; --i)
        if (TObject* o = Items(i)) o->Free();
}

void TObjectList::Notify(void* item, TListNotification action)
{
    if (ownsObjects_ && action == lnDeleted) static_cast<TObject*>(item)->Free();
    TList::Notify(item, action);
}

// ---- TStrings ---------------------------------------------------------------------

TClass TStrings::StaticClass()
{
    return DefineClass<TStrings, TPersistent>("TStrings");
}

void TStrings::Error(const char* message, int data)
{
    throw EStringListError(Format(message, data));
}

void TStrings::Put(int index, const std::string& s)
{
    TObject* object = GetObject(index);
    Delete(index);
    InsertObject(index, s, object);
}

TObject* TStrings::GetObject(int) const
{
    return nullptr;
}

void TStrings::PutObject(int, TObject*) {}

void TStrings::InsertObject(int index, const std::string& s, TObject* object)
{
    Insert(index, s);
    PutObject(index, object);
}

int TStrings::Add(const std::string& s)
{
    const int index = Count();
    Insert(index, s);
    return index;
}

int TStrings::AddObject(const std::string& s, TObject* object)
{
    const int index = Add(s);
    PutObject(index, object);
    return index;
}

void TStrings::AddStrings(TStrings* strings)
{
    if (!strings) return;
    UpdateScope update(*this);
    for (int i = 0; i < strings->Count(); ++i) AddObject(strings->Get(i), strings->GetObject(i));
}

void TStrings::AddStrings(const std::vector<std::string>& strings)
{
    UpdateScope update(*this);
    for (const auto& s : strings) Add(s);
}

int TStrings::CompareStrings(const std::string& a, const std::string& b) const
{
    return AnsiCompareText(a, b);
}

int TStrings::IndexOf(const std::string& s) const
{
    for (int i = 0; i < Count(); ++i)
        if (CompareStrings(Get(i), s) == 0) return i;
    return -1;
}

int TStrings::IndexOfName(const std::string& name) const
{
    for (int i = 0; i < Count(); ++i) {
        const std::string line = Get(i);
        const std::size_t p = line.find(nameValueSeparator_);
        if (p != std::string::npos && CompareStrings(line.substr(0, p), name) == 0) return i;
    }
    return -1;
}

int TStrings::IndexOfObject(TObject* object) const
{
    for (int i = 0; i < Count(); ++i)
        if (GetObject(i) == object) return i;
    return -1;
}

void TStrings::Exchange(int index1, int index2)
{
    UpdateScope update(*this);
    const std::string s1 = Get(index1);
    TObject* o1 = GetObject(index1);
    Put(index1, Get(index2));
    PutObject(index1, GetObject(index2));
    Put(index2, s1);
    PutObject(index2, o1);
}

void TStrings::Move(int curIndex, int newIndex)
{
    if (curIndex == newIndex) return;
    UpdateScope update(*this);
    const std::string s = Get(curIndex);
    TObject* o = GetObject(curIndex);
    Delete(curIndex);
    InsertObject(newIndex, s, o);
}

bool TStrings::Equals(TStrings* other) const
{
    if (!other || other->Count() != Count()) return false;
    for (int i = 0; i < Count(); ++i)
        if (Get(i) != other->Get(i)) return false;
    return true;
}

std::string TStrings::Text() const
{
    std::string out;
    for (int i = 0; i < Count(); ++i) {
        out += Get(i);
        out += lineBreak_;
    }
    return out;
}

void TStrings::SetText(std::string_view text)
{
    UpdateScope update(*this);
    Clear();
    std::size_t i = 0;
    while (i < text.size()) {
        std::size_t j = i;
        while (j < text.size() && text[j] != '\n' && text[j] != '\r') ++j;
        Add(std::string(text.substr(i, j - i)));
        if (j < text.size() && text[j] == '\r') ++j;
        if (j < text.size() && text[j] == '\n') ++j;
        i = j;
    }
}

std::string TStrings::JoinDelimited(char delimiter, char quote, bool strict) const
{
    if (Count() == 1 && Get(0).empty()) return std::string(2, quote);
    std::string out;
    for (int i = 0; i < Count(); ++i) {
        std::string s = Get(i);
        for (char c : s) {
            if ((!strict && static_cast<unsigned char>(c) <= ' ') || c == quote || c == delimiter || c == '\0') {
                s = AnsiQuotedStr(s, quote);
                break;
            }
        }
        if (i > 0) out += delimiter;
        out += s;
    }
    return out;
}

void TStrings::SplitDelimited(std::string_view text, char delimiter, char quote, bool strict)
{
    auto blank = [](char c) { return c != '\0' && static_cast<unsigned char>(c) <= ' '; };
    UpdateScope update(*this);
    Clear();
    std::string_view p = text;
    if (!strict)
        while (!p.empty() && blank(p.front())) p.remove_prefix(1);
    while (!p.empty()) {
        std::string s;
        if (p.front() == quote) {
            s = AnsiExtractQuotedStr(p, quote);
        } else {
            std::size_t n = 0;
            while (n < p.size() && p[n] != delimiter && (strict || static_cast<unsigned char>(p[n]) > ' ')) ++n;
            s = std::string(p.substr(0, n));
            p.remove_prefix(n);
        }
        Add(s);
        if (!strict)
            while (!p.empty() && blank(p.front())) p.remove_prefix(1);
        if (!p.empty() && p.front() == delimiter) {
            p.remove_prefix(1);
            if (p.empty()) Add("");
            if (!strict)
                while (!p.empty() && blank(p.front())) p.remove_prefix(1);
        } else if (!p.empty() && p.front() != quote && strict) {
            // Text right after a closing quote belongs to no item.
            p.remove_prefix(1);
        }
    }
}

std::string TStrings::DelimitedText() const
{
    return JoinDelimited(delimiter_, quoteChar_, strictDelimiter_);
}

void TStrings::SetDelimitedText(std::string_view text)
{
    SplitDelimited(text, delimiter_, quoteChar_, strictDelimiter_);
}

std::string TStrings::CommaText() const
{
    return JoinDelimited(',', '"', false);
}

void TStrings::SetCommaText(std::string_view text)
{
    SplitDelimited(text, ',', '"', false);
}

std::string TStrings::Names(int index) const
{
    const std::string line = Get(index);
    const std::size_t p = line.find(nameValueSeparator_);
    return p == std::string::npos ? std::string() : line.substr(0, p);
}

std::string TStrings::Values(const std::string& name) const
{
    const int i = IndexOfName(name);
    return i < 0 ? std::string() : ValueFromIndex(i);
}

void TStrings::SetValues(const std::string& name, const std::string& value)
{
    const int i = IndexOfName(name);
    if (!value.empty()) {
        const std::string line = name + nameValueSeparator_ + value;
        if (i < 0) Add(line);
        else Put(i, line);
    } else if (i >= 0) {
        Delete(i);
    }
}

std::string TStrings::ValueFromIndex(int index) const
{
    const std::string line = Get(index);
    const std::size_t p = line.find(nameValueSeparator_);
    return p == std::string::npos ? std::string() : line.substr(p + 1);
}

void TStrings::SetValueFromIndex(int index, const std::string& value)
{
    if (value.empty()) {
        if (index >= 0) Delete(index);
        return;
    }
    if (index < 0) {
        Add(std::string(1, nameValueSeparator_) + value);
        return;
    }
    Put(index, Names(index) + nameValueSeparator_ + value);
}

void TStrings::BeginUpdate()
{
    if (updateCount_++ == 0) SetUpdateState(true);
}

void TStrings::EndUpdate()
{
    if (updateCount_ > 0 && --updateCount_ == 0) SetUpdateState(false);
}

void TStrings::SetUpdateState(bool) {}

void TStrings::Assign(TPersistent* source)
{
    if (auto* other = As<TStrings>(source)) {
        if (other == this) return;
        {
            UpdateScope update(*this);
            Clear();
            delimiter_ = other->delimiter_;
            quoteChar_ = other->quoteChar_;
            strictDelimiter_ = other->strictDelimiter_;
            nameValueSeparator_ = other->nameValueSeparator_;
            AddStrings(other);
        }
        return;
    }
    TPersistent::Assign(source);
}

void TStrings::LoadFromStream(TStream& stream)
{
    const std::int64_t size = stream.Size() - stream.Position();
    std::string text(static_cast<std::size_t>(std::max<std::int64_t>(0, size)), '\0');
    const std::int64_t n = stream.Read(text.data(), static_cast<std::int64_t>(text.size()));
    text.resize(static_cast<std::size_t>(n));
    // A UTF-8 byte-order mark is not part of the first line.
    if (text.rfind("\xEF\xBB\xBF", 0) == 0) text.erase(0, 3);
    SetText(text);
}

void TStrings::SaveToStream(TStream& stream) const
{
    const std::string text = Text();
    stream.WriteBuffer(text.data(), static_cast<std::int64_t>(text.size()));
}

void TStrings::LoadFromFile(const std::string& fileName)
{
    TFileStream f(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(f);
}

void TStrings::SaveToFile(const std::string& fileName) const
{
    TFileStream f(fileName, fmCreate);
    SaveToStream(f);
}

std::vector<std::string> TStrings::ToVector() const
{
    std::vector<std::string> v;
    v.reserve(static_cast<std::size_t>(Count()));
    for (int i = 0; i < Count(); ++i) v.push_back(Get(i));
    return v;
}

// ---- TStringList -------------------------------------------------------------------

TClass TStringList::StaticClass()
{
    return DefineClass<TStringList, TStrings>("TStringList");
}

TStringList::~TStringList()
{
    if (ownsObjects_)
        for (auto& item : items_)
            if (item.object) item.object->Free();
}

void TStringList::Destroy()
{
    onChange_.Clear();
    onChanging_.Clear();
    if (ownsObjects_)
        for (auto& item : items_) FreeAndNil(item.object);
    items_.clear();
    TStrings::Destroy();
}

void TStringList::CheckIndex(int index) const
{
    if (index < 0 || index >= Count()) Error(messages::SListIndexError, index);
}

std::string TStringList::Get(int index) const
{
    CheckIndex(index);
    return items_[static_cast<std::size_t>(index)].text;
}

void TStringList::Put(int index, const std::string& s)
{
    if (sorted_) throw EStringListError(messages::SSortedListError);
    CheckIndex(index);
    Changing();
    items_[static_cast<std::size_t>(index)].text = s;
    Changed();
}

TObject* TStringList::GetObject(int index) const
{
    CheckIndex(index);
    return items_[static_cast<std::size_t>(index)].object;
}

void TStringList::PutObject(int index, TObject* object)
{
    CheckIndex(index);
    Changing();
    items_[static_cast<std::size_t>(index)].object = object;
    Changed();
}

void TStringList::InsertItem(int index, const std::string& s, TObject* object)
{
    Changing();
    items_.insert(items_.begin() + index, Item{s, object});
    Changed();
}

void TStringList::Insert(int index, const std::string& s)
{
    InsertObject(index, s, nullptr);
}

void TStringList::InsertObject(int index, const std::string& s, TObject* object)
{
    if (sorted_) throw EStringListError(messages::SSortedListError);
    if (index < 0 || index > Count()) Error(messages::SListIndexError, index);
    InsertItem(index, s, object);
}

void TStringList::Delete(int index)
{
    CheckIndex(index);
    Changing();
    TObject* object = items_[static_cast<std::size_t>(index)].object;
    items_.erase(items_.begin() + index);
    if (ownsObjects_ && object) object->Free();
    Changed();
}

void TStringList::Clear()
{
    if (items_.empty()) return;
    Changing();
    std::vector<Item> old;
    old.swap(items_);
    if (ownsObjects_)
        for (auto& item : old)
            if (item.object) item.object->Free();
    Changed();
}

int TStringList::Add(const std::string& s)
{
    return AddObject(s, nullptr);
}

int TStringList::AddObject(const std::string& s, TObject* object)
{
    int index = Count();
    if (sorted_) {
        if (Find(s, index)) {
            if (duplicates_ == dupIgnore) return index;
            if (duplicates_ == dupError) throw EStringListError(messages::SDuplicateString);
        }
    }
    InsertItem(index, s, object);
    return index;
}

int TStringList::CompareStrings(const std::string& a, const std::string& b) const
{
    return caseSensitive_ ? AnsiCompareStr(a, b) : AnsiCompareText(a, b);
}

bool TStringList::Find(const std::string& s, int& index) const
{
    // The first position whose string is not less than s.
    int lo = 0;
    int hi = Count();
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        if (CompareStrings(items_[static_cast<std::size_t>(mid)].text, s) < 0) lo = mid + 1;
        else hi = mid;
    }
    index = lo;
    return lo < Count() && CompareStrings(items_[static_cast<std::size_t>(lo)].text, s) == 0;
}

int TStringList::IndexOf(const std::string& s) const
{
    if (!sorted_) return TStrings::IndexOf(s);
    int index = -1;
    return Find(s, index) ? index : -1;
}

void TStringList::Exchange(int index1, int index2)
{
    CheckIndex(index1);
    CheckIndex(index2);
    Changing();
    std::swap(items_[static_cast<std::size_t>(index1)], items_[static_cast<std::size_t>(index2)]);
    Changed();
}

void TStringList::Move(int curIndex, int newIndex)
{
    if (curIndex == newIndex) return;
    if (sorted_) throw EStringListError(messages::SSortedListError);
    CheckIndex(curIndex);
    CheckIndex(newIndex);
    Changing();
    Item item = std::move(items_[static_cast<std::size_t>(curIndex)]);
    items_.erase(items_.begin() + curIndex);
    items_.insert(items_.begin() + newIndex, std::move(item));
    Changed();
}

void TStringList::QuickSort(int lo, int hi, const CompareFn& compare)
{
    // Insertion into a stable order by index compare; lists here are small
    // and a stable result keeps equal strings in their order.
    std::vector<int> order(static_cast<std::size_t>(hi - lo + 1));
    for (int i = lo; i <= hi; ++i) order[static_cast<std::size_t>(i - lo)] = i;
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return compare(this, a, b) < 0; });
    std::vector<Item> sorted;
    sorted.reserve(order.size());
    for (int i : order) sorted.push_back(items_[static_cast<std::size_t>(i)]);
    std::move(sorted.begin(), sorted.end(), items_.begin() + lo);
}

void TStringList::CustomSort(const CompareFn& compare)
{
    if (Count() < 2) return;
    Changing();
    QuickSort(0, Count() - 1, compare);
    Changed();
}

void TStringList::Sort()
{
    CustomSort([](TStringList* list, int a, int b) {
        return list->CompareStrings(list->items_[static_cast<std::size_t>(a)].text,
                                    list->items_[static_cast<std::size_t>(b)].text);
    });
}

void TStringList::SetSorted(bool value)
{
    if (sorted_ == value) return;
    if (value) Sort();
    sorted_ = value;
}

void TStringList::SetCaseSensitive(bool value)
{
    if (caseSensitive_ == value) return;
    caseSensitive_ = value;
    if (sorted_) Sort();
}

void TStringList::SetUpdateState(bool updating)
{
    if (updating) Changing();
    else Changed();
}

void TStringList::Changed()
{
    if (UpdateCount() == 0) onChange_(this);
}

void TStringList::Changing()
{
    if (UpdateCount() == 0) onChanging_(this);
}

}  // namespace hostlib
