#include "quorgrafica/Clsbox.h"

#include "quorgrafica/Arith.h"

namespace quorgrafica {

using quorbase::clsConfig;
using quorbase::clsString;

clsBox::clsBox(clsGraf* ownerGraf) : LinksOut(false), LinksIn(false), OwnerGraf(ownerGraf) {}

clsBox::~clsBox() = default;

bool clsBox::ReadKey(const clsConfig&, const clsString&, int&, const clsString&) {
    return true;
}

bool clsBox::Execute(clsBox*, bool) {
    return true;
}

void clsBox::Reset() {}

bool clsBox::HitTest(int x, int y) {
    return Frame.Left <= x && x < Frame.Right && Frame.Top <= y && y < Frame.Bottom;
}

void clsBox::SetFrame(int left, int top, int width, int height) {
    // The current size is taken before the left and top edges move.
    const std::int64_t oldWidth = static_cast<std::int64_t>(Frame.Right) - Frame.Left;
    const std::int64_t oldHeight = static_cast<std::int64_t>(Frame.Bottom) - Frame.Top;
    Frame.Left = left;
    Frame.Top = top;
    if (width == 0)
        Frame.Right = detail::Wrap32(left + oldWidth);
    else if (width > 0)
        Frame.Right = detail::Wrap32(static_cast<std::int64_t>(left) + width);
    if (height == 0)
        Frame.Bottom = detail::Wrap32(top + oldHeight);
    else if (height > 0)
        Frame.Bottom = detail::Wrap32(static_cast<std::int64_t>(top) + height);
}

void clsBox::AddLink(clsBox* target) {
    if (!target) return;
    LinksOut.AddUnique(target->Name, target);
    target->LinksIn.AddUnique(Name, this);
}

namespace {

void RemoveEvery(clsBoxList& list, const clsBox* box) {
    for (int i = list.GetCount() - 1; i >= 0; --i) {
        if (list.GetValue(i) == box) list.RemoveAt(i, true, true);
    }
}

} // namespace

void clsBox::RemoveLink(clsBox* target) {
    if (!target) return;
    RemoveEvery(LinksOut, target);
    RemoveEvery(LinksIn, target);
    // The target's records of the same links go too, so that neither box
    // walks to the other afterwards.
    RemoveEvery(target->LinksOut, this);
    RemoveEvery(target->LinksIn, this);
}

bool clsBox::Compute(clsBox* caller, bool backwards, bool reset) {
    // A box met again while its own dependencies are being walked closes a
    // cycle: the walk ends here and the cycle is marked as failed.
    if (ComputeState == 1) return false;
    ComputeState = 1;
    clsBoxList& dependencies = backwards ? LinksIn : LinksOut;
    bool ok = true;
    for (int i = 0; i < dependencies.GetCount(); ++i) {
        clsBox* dependency = dependencies.GetValue(i);
        if (dependency && !dependency->Compute(this, backwards, reset)) {
            ok = false;
            break;
        }
    }
    if (reset)
        Reset();
    else if (ok)
        ok = Execute(caller, backwards);
    ComputeState = ok ? 2 : 3;
    return ok;
}

} // namespace quorgrafica
