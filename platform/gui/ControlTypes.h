#pragma once
// Enumerations, sets and event types shared by the visual controls.

#include "platform/core/Component.h"

#include <functional>
#include <initializer_list>

// A set of enumeration values held as bits, as the platform's published
// option sets (grid options, shift state).
template <typename E> class TFlagSet {
public:
    constexpr TFlagSet() = default;
    constexpr TFlagSet(std::initializer_list<E> values) {
        for (E v : values)
            bits_ |= Bit(v);
    }
    constexpr bool Contains(E value) const { return (bits_ & Bit(value)) != 0; }
    constexpr bool Empty() const { return bits_ == 0; }
    constexpr TFlagSet& Include(E value) {
        bits_ |= Bit(value);
        return *this;
    }
    constexpr TFlagSet& Exclude(E value) {
        bits_ &= ~Bit(value);
        return *this;
    }
    constexpr TFlagSet& operator<<(E value) { return Include(value); }
    constexpr TFlagSet& operator>>(E value) { return Exclude(value); }
    constexpr unsigned Bits() const { return bits_; }
    static constexpr TFlagSet FromBits(unsigned bits) {
        TFlagSet s;
        s.bits_ = bits;
        return s;
    }
    friend constexpr bool operator==(TFlagSet, TFlagSet) = default;

private:
    static constexpr unsigned Bit(E value) { return 1u << static_cast<unsigned>(value); }
    unsigned bits_ = 0;
};

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TMouseButton { mbLeft, mbRight, mbMiddle };

enum TShiftStateValue { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = TFlagSet<TShiftStateValue>;

// Cursor identifiers, numbered as the platform numbers its stock cursors.
using TCursor = int;
constexpr TCursor crDefault = 0;
constexpr TCursor crNone = -1;
constexpr TCursor crArrow = -2;
constexpr TCursor crCross = -3;
constexpr TCursor crIBeam = -4;
constexpr TCursor crSizeNESW = -6;
constexpr TCursor crSizeNS = -7;
constexpr TCursor crSizeNWSE = -8;
constexpr TCursor crSizeWE = -9;
constexpr TCursor crUpArrow = -10;
constexpr TCursor crHourGlass = -11;
constexpr TCursor crDrag = -12;
constexpr TCursor crNoDrop = -13;
constexpr TCursor crNo = -18;
constexpr TCursor crHandPoint = -21;
constexpr TCursor crSizeAll = -22;

using TNotifyEvent = std::function<void(TObject*)>;
using TMouseEvent = std::function<void(TObject*, TMouseButton, TShiftState, int x, int y)>;
using TMouseMoveEvent = std::function<void(TObject*, TShiftState, int x, int y)>;

// Key codes of the platform's key events (virtual-key numbers).
constexpr unsigned short VK_BACK = 8;
constexpr unsigned short VK_TAB = 9;
constexpr unsigned short VK_RETURN = 13;
constexpr unsigned short VK_ESCAPE = 27;
constexpr unsigned short VK_SPACE = 32;
constexpr unsigned short VK_PRIOR = 33;
constexpr unsigned short VK_NEXT = 34;
constexpr unsigned short VK_END = 35;
constexpr unsigned short VK_HOME = 36;
constexpr unsigned short VK_LEFT = 37;
constexpr unsigned short VK_UP = 38;
constexpr unsigned short VK_RIGHT = 39;
constexpr unsigned short VK_DOWN = 40;
constexpr unsigned short VK_INSERT = 45;
constexpr unsigned short VK_DELETE = 46;
constexpr unsigned short VK_F1 = 112;

// A handler may change the key or set it to 0 to swallow it.
using TKeyEvent = std::function<void(TObject*, unsigned short& key, TShiftState)>;
using TKeyPressEvent = std::function<void(TObject*, char& key)>;

// Drag and drop within a control.
class TDragObject;
enum TDragMode { dmManual, dmAutomatic };
enum TDragState { dsDragEnter, dsDragLeave, dsDragMove };
// source is the drag object of OnStartDrag, or the control the drag started on.
using TDragOverEvent = std::function<void(TObject* sender, TObject* source, int x, int y,
                                          TDragState state, bool& accept)>;
using TDragDropEvent = std::function<void(TObject* sender, TObject* source, int x, int y)>;
using TStartDragEvent = std::function<void(TObject* sender, TDragObject*& dragObject)>;
// target is the control dropped on, null when the drag was cancelled or refused.
using TEndDragEvent = std::function<void(TObject* sender, TObject* target, int x, int y)>;
