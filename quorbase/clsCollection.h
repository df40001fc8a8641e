#pragma once
// clsCollection: an insertion-ordered list of key/value nodes, looked up by
// key without regard to case, optionally owning its values. clsStrings is the
// keyed list of strings with split and join.

#include "quorbase/clsString.h"

#include <cstddef>
#include <new>

namespace quorbase {

// Owns the key of a node; an empty key is stored as no key at all.
class clsNodoBase {
public:
    clsNodoBase() = default;
    virtual ~clsNodoBase();
    clsNodoBase(const clsNodoBase&) = delete;
    clsNodoBase& operator=(const clsNodoBase&) = delete;

    void SetKey(const clsString& text);
    // The key, or the shared empty string for a node without key.
    const clsString& GetKey() const { return key_ ? *key_ : EmptyString; }
    bool HasKey() const { return key_ != nullptr; }
    // 1 for a node without key: such a node never equals anything.
    int CompareKey(const clsString& text) const { return key_ ? key_->Compare(text) : 1; }

private:
    clsString* key_ = nullptr;
};

template <class T> class clsNodo : public clsNodoBase {
public:
    clsNodo() = default;
    ~clsNodo() override { ReleaseValue(); }

    // Releases the current value (deleting it when owned), then stores the
    // new value, key and ownership.
    void Set(const clsString& key, T* value, bool owns) {
        if (value != value_) ReleaseValue();
        value_ = value;
        SetKey(key);
        owns_ = owns;
    }

    T* Value() const { return value_; }
    bool Owns() const { return owns_; }
    void SetOwns(bool owns) { owns_ = owns; }

private:
    void ReleaseValue() {
        if (owns_) delete value_;
        value_ = nullptr;
        owns_ = false;
    }

    T* value_ = nullptr;
    bool owns_ = false;
};

// Null nodes order first, keyed nodes follow in case-insensitive key order.
template <class T> int CompareNodes(clsNodo<T>* const* a, clsNodo<T>* const* b) {
    const clsNodo<T>* na = a ? *a : nullptr;
    const clsNodo<T>* nb = b ? *b : nullptr;
    int step = 999;
    if (!na && !nb)
        step = 0;
    else if (!nb)
        step = 1;
    else if (!na)
        step = -1;
    if (step != 999) return step;
    return na->GetKey().Compare(nb->GetKey());
}

template <class T> class clsCollection {
public:
    using NodeCompare = int (*)(clsNodo<T>* const*, clsNodo<T>* const*);

    enum : unsigned {
        InOrderFlag = 1, // cleared by every addition
        OwningFlag = 2,  // the collection owns its values
        SortedFlag = 4,
    };

    explicit clsCollection(bool owning, bool sorted = false, NodeCompare compare = &CompareNodes<T>)
        : compare_(compare), flags_((owning ? OwningFlag : 0u) | (sorted ? SortedFlag : 0u)) {}
    virtual ~clsCollection() { DestroyAll(); }
    clsCollection(const clsCollection&) = delete;
    clsCollection& operator=(const clsCollection&) = delete;

    // Value with the empty key.
    virtual int Add(T* value) { return Add(clsString(""), value, false); }
    // A new node with a copy of node's key and its value pointer; -1 for null.
    virtual int AddNode(clsNodo<T>* node) {
        if (!node) return -1;
        return Add(clsString(node->GetKey()), node->Value(), false);
    }
    virtual int Add(const char* key, T* value) { return Add(clsString(key), value, false); }
    // Appends a node (duplicate keys allowed); it owns value when the
    // collection owns values and notOwned is false. -1 when no array can be
    // obtained, and then value stays the caller's.
    virtual int Add(const clsString& key, T* value, bool notOwned = false);
    // The index of the existing key (value stays the caller's), else Add.
    virtual int AddUnique(const clsString& key, T* value, bool notOwned = false) {
        const int found = Find(key);
        return found >= 0 ? found : Add(key, value, notOwned);
    }
    // The first node with key takes the value and the key's letters; else Add.
    virtual int Set(const clsString& key, T* value);
    virtual bool Move(int from, int to);
    virtual int Remove(const clsString& key, bool compact = true, bool keepValue = false) {
        return RemoveAt(Find(key), compact, keepValue);
    }
    // Destroys the node at index; without compact its slot stays as a hole.
    // Answers the count.
    virtual int RemoveAt(int index, bool compact = true, bool keepValue = false);
    // Without destroy only the array is freed: the nodes stay alive.
    virtual void Clear(bool destroy = true);

    // First node from 0 whose key equals key; -1 when none.
    int Find(const clsString& key) const;
    int GetCount() const { return count_; }
    int Capacity() const { return capacity_; }
    unsigned Flags() const { return flags_; }
    bool Owning() const { return (flags_ & OwningFlag) != 0; }
    NodeCompare CompareFunction() const { return compare_; }

    // Null for an index outside 0..GetCount()-1 or a hole.
    clsNodo<T>* GetNode(int index) const {
        return items_ && index >= 0 && index < count_ ? items_[index] : nullptr;
    }
    T* GetValue(int index) const {
        const clsNodo<T>* node = GetNode(index);
        return node ? node->Value() : nullptr;
    }
    T* GetValue(const clsString& key) const { return GetValue(Find(key)); }
    // Throws the C text "clsString: Bad index!" for a bad index or a hole.
    const clsString& GetKey(int index) const {
        const clsNodo<T>* node = GetNode(index);
        if (!node) throw "clsString: Bad index!";
        return node->GetKey();
    }

private:
    void DestroyAll();
    bool Grow();

    clsNodo<T>** items_ = nullptr;
    int count_ = 0;
    int capacity_ = 0;
    NodeCompare compare_ = nullptr;
    unsigned flags_ = 0;
};

// The keyed list of strings; it owns its values.
class clsStrings : public clsCollection<clsString> {
public:
    clsStrings() : clsCollection<clsString>(true, false, &CompareNodes<clsString>) {}

    // A copy of text as value, with the empty key.
    int AddText(const char* text);
    int AddString(const clsString& text);
    // A copy of value under key: with keepExisting an existing key wins,
    // else with replace the key's node is updated, else a duplicate is added.
    int AddPair(const clsString& key, const clsString& value, bool replace = false,
                bool keepExisting = false);
    clsString GetValueText(int index) const;
    clsString JoinValues(const clsString& separator, bool useSeparator = true) const;
    // Replaces the contents with the pieces of text. Mode 0: values only;
    // mode 1: each piece is key and value; mode 2: key=value pieces.
    // quoteAware keeps separators between apostrophes. Answers the count.
    int Split(const clsString& text, char separator, int mode = 0, bool trim = false,
              bool quoteAware = false);
};

// ---------------------------------------------------------------------------

template <class T> void clsCollection<T>::DestroyAll() {
    if (items_) {
        for (int i = 0; i < capacity_; ++i)
            delete items_[i];
    }
    delete[] items_;
    items_ = nullptr;
    count_ = 0;
    capacity_ = 0;
}

template <class T> bool clsCollection<T>::Grow() {
    const long long grown =
        capacity_ < 10 ? capacity_ + 1LL : static_cast<long long>(capacity_) * 10 / 8 + 2;
    if (grown > 0x7FFFFFFF) return false;
    auto** items = new (std::nothrow) clsNodo<T>*[static_cast<std::size_t>(grown)]();
    if (!items) return false;
    // Growing also closes the holes left by removals.
    int kept = 0;
    for (int i = 0; i < count_; ++i) {
        if (items_[i]) items[kept++] = items_[i];
    }
    delete[] items_;
    items_ = items;
    count_ = kept;
    capacity_ = static_cast<int>(grown);
    return true;
}

template <class T> int clsCollection<T>::Add(const clsString& key, T* value, bool notOwned) {
    if (!items_) {
        // The first array is the collection's own business: a subclass's
        // Clear (a graph drops its selection) must not run on an Add.
        items_ = new (std::nothrow) clsNodo<T>*[2]();
        if (!items_) return -1;
        count_ = 0;
        capacity_ = 2;
    }
    if (count_ + 1 >= capacity_ && !Grow()) return -1;
    clsNodo<T>*& slot = items_[count_];
    if (!slot) {
        slot = new (std::nothrow) clsNodo<T>;
        if (!slot) return -1;
    }
    slot->Set(key, value, Owning() && !notOwned);
    flags_ &= ~static_cast<unsigned>(InOrderFlag);
    return count_++;
}

template <class T> int clsCollection<T>::Set(const clsString& key, T* value) {
    const int found = Find(key);
    if (found < 0) return Add(key, value, false);
    items_[found]->Set(key, value, Owning());
    return found;
}

template <class T> bool clsCollection<T>::Move(int from, int to) {
    if (!items_ || from < 0 || from >= count_ || to < 0 || to >= count_ || from == to) return false;
    clsNodo<T>* moving = items_[from];
    if (from < to) {
        for (int i = from; i < to; ++i)
            items_[i] = items_[i + 1];
    } else {
        for (int i = from; i > to; --i)
            items_[i] = items_[i - 1];
    }
    items_[to] = moving;
    return true;
}

template <class T> int clsCollection<T>::RemoveAt(int index, bool compact, bool keepValue) {
    if (!items_ || index < 0 || index >= count_) return count_;
    clsNodo<T>* node = items_[index];
    if (node && keepValue) node->SetOwns(false);
    delete node;
    items_[index] = nullptr;
    if (compact) {
        for (int i = index; i + 1 < count_; ++i)
            items_[i] = items_[i + 1];
        items_[count_ - 1] = nullptr;
        --count_;
    }
    return count_;
}

template <class T> void clsCollection<T>::Clear(bool destroy) {
    if (destroy) {
        DestroyAll();
        return;
    }
    delete[] items_;
    items_ = nullptr;
    count_ = 0;
    capacity_ = 0;
}

template <class T> int clsCollection<T>::Find(const clsString& key) const {
    if (!items_) return -1;
    for (int i = 0; i < count_; ++i) {
        if (items_[i] && items_[i]->CompareKey(key) == 0) return i;
    }
    return -1;
}

} // namespace quorbase
