#pragma once
// clsPCollection: a growable array of pointers, optionally owning them.
// clsC is the owning variant and clsCStrings the owning list of lines.

#include "quorbase/clsString.h"

#include <cstddef>
#include <new>

namespace quorbase {

template <class T> class clsPCollection {
public:
    // A new collection already has one slot.
    explicit clsPCollection(bool owning = false) : owning_(owning) { Resize(1); }
    virtual ~clsPCollection() { Clear(true); }
    clsPCollection(const clsPCollection&) = delete;
    clsPCollection& operator=(const clsPCollection&) = delete;

    int GetCount() const { return count_; }
    int Capacity() const { return capacity_; }
    bool Owning() const { return owning_; }
    void SetOwning(bool owning) { owning_ = owning; }

    // Null outside 0..GetCount()-1.
    T* GetItem(int index) const { return index >= 0 && index < count_ ? items_[index] : nullptr; }

    // Stores item at index, shifting the items from there up; a negative
    // index (or one past the end) appends. Answers the position used, or -1
    // when the array cannot grow (the item is then not stored).
    int Insert(T* item, int index = -1);

    // Grows the array to exactly size entries; never shrinks below count.
    bool Resize(int size);

    // Deletes the items when owning and asked to, then frees the array.
    void Clear(bool destroyItems = true);

protected:
    // Makes this collection a window on count items of source from start,
    // copying nothing: the items and their array stay the source's, which
    // must outlive the window and keep them in place. The window owns no
    // item; growing it copies it into an array of its own.
    void Borrow(const clsPCollection& source, int start, int count);

private:
    static int GrownCapacity(int count);

    T** items_ = nullptr;
    int count_ = 0;
    int capacity_ = 0;
    bool owning_ = false;
    bool borrowed_ = false;
};

template <class T> class clsC : public clsPCollection<T> {
public:
    clsC() : clsPCollection<T>(true) {}
};

class clsCStrings : public clsC<clsString> {};

// Appends times new copies of text to list.
void Add(clsPCollection<clsString>& list, const char* text, int times = 1);
void Add(clsPCollection<clsString>& list, const clsString& text, int times = 1);

// The items of list with separator between them; a null item is skipped but
// still gets its separator. An empty list gives a string without buffer.
clsString Join(const clsPCollection<clsString>& list, const char* separator);
clsString Join(const clsPCollection<clsString>& list, const clsString& separator);

// ---------------------------------------------------------------------------

template <class T> int clsPCollection<T>::GrownCapacity(int count) {
    // Small lists grow by one or two; larger ones by about half their count.
    if (count < 3) return count + 1;
    if (count < 8) return count + 2;
    const long long grown = 12LL * (count / 8) + 14;
    return grown > 0x7FFFFFFF ? -1 : static_cast<int>(grown);
}

template <class T> int clsPCollection<T>::Insert(T* item, int index) {
    if (count_ + 1 >= capacity_) {
        const int grown = GrownCapacity(count_);
        if (grown < 0 || !Resize(grown)) return -1;
    }
    if (index < 0 || index > count_) index = count_;
    for (int i = count_; i > index; --i)
        items_[i] = items_[i - 1];
    items_[index] = item;
    ++count_;
    return index;
}

template <class T> bool clsPCollection<T>::Resize(int size) {
    if (size < count_) return false;
    if (size <= capacity_) return true;
    T** grown = new (std::nothrow) T*[static_cast<std::size_t>(size)];
    if (!grown) return false;
    for (int i = 0; i < size; ++i)
        grown[i] = i < count_ ? items_[i] : nullptr;
    if (!borrowed_) delete[] items_;
    borrowed_ = false;
    items_ = grown;
    capacity_ = size;
    return true;
}

template <class T> void clsPCollection<T>::Clear(bool destroyItems) {
    if (owning_ && destroyItems && items_ && !borrowed_) {
        for (int i = 0; i < count_; ++i)
            delete items_[i];
    }
    if (!borrowed_) delete[] items_;
    borrowed_ = false;
    items_ = nullptr;
    count_ = 0;
    capacity_ = 0;
}

template <class T>
void clsPCollection<T>::Borrow(const clsPCollection& source, int start, int count) {
    Clear();
    if (start < 0 || count < 0 || start > source.count_ || count > source.count_ - start) return;
    owning_ = false;
    items_ = source.items_ + start;
    count_ = count;
    capacity_ = count;
    borrowed_ = true;
}

} // namespace quorbase
