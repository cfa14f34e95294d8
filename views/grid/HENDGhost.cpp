// The drag placeholder of the grid diagram: picked up from an exchanger end or a segment marker,
// it follows the pointer and, dropped, asks the diagram to move the end, add an exchanger at
// the two temperatures, or add a bypass split.
#include "views/grid/HENDNode.h"

#include "eng/design/IHENDesign.h"
#include "lumeth/Messages.h"
#include "lumeth/Session.h"
#include "views/grid/HENDFlowsheet.h"
#include "views/grid/HENDiagram.h"

#include <algorithm>
#include <cmath>

namespace {

using hend::quoted;
const ColourResource kRed{"Red", 220, 30, 30};
const ColourResource kBlack{"Black", 0, 0, 0};

}  // namespace

void HENDGhost::Hover(HENDNode* item, int end) {
    if (dragging) return;
    represented = item;
    movedEnd = end;
}

void HENDGhost::Reset() {
    if (dragging) OwnerPlane()->RemoveFromSelectedVector(this);
    represented = nullptr;
    moved = nullptr;
    source = nullptr;
    splitMode = false;
    movedEnd = 0;
    dragging = accepted = bypassShown = false;
    sourceTemperature = dropTemperature = -32767.0;
}

Text HENDGhost::FlyByDescription(CanvasPoint p) { return represented ? represented->FlyByDescription(p) : Text(); }

void HENDGhost::PrepareForObjectInspection(MenuModel& menu) {
    if (represented) represented->PrepareForObjectInspection(menu);
}

int HENDGhost::ProcessInspectionCommand(int command) {
    return represented ? represented->ProcessInspectionCommand(command) : 0;
}

void HENDGhost::NotifyDoubleClickAt(CanvasPoint p) {
    if (represented) represented->NotifyDoubleClickAt(p);
}

HENDStreamSegment* HENDGhost::Source() const {
    if (moved && movedEnd >= 1 && movedEnd <= static_cast<int>(moved->ends.size()))
        return moved->ends[static_cast<std::size_t>(movedEnd - 1)].inlet;
    return source;
}

namespace {
// The segment of the source's own stream under the pointer's x that may close a bypass from it.
HENDStreamSegment* bypassTarget(HENDiagram& d, const HENDStreamSegment& from, double x) {
    for (HENDNode* item : d.Items()) {
        auto* s = dynamic_cast<HENDStreamSegment*>(item);
        if (!s || s->streamName != from.streamName) continue;
        if (x < std::min(s->x1, s->x2) || x > std::max(s->x1, s->x2)) continue;
        if (d.CanAddBypass(from, *s)) return s;
    }
    return nullptr;
}
}  // namespace

void HENDGhost::NotifySingleClickAt(CanvasPoint p) {
    if (dragging) return Drop(p);
    // A drag starts from an exchanger end or a marker only.
    const HENDHitRecord& hit = m_diagram->LastHit();
    if (!hit.item || hit.kind > 1) return;
    if (hit.kind == 1) {
        auto* s = dynamic_cast<HENDStreamSegment*>(hit.item);
        if (!s) return;
        source = s;
        sourceTemperature = hit.temperature;
        splitMode = hit.splitMarker;
    } else {
        auto* hx = dynamic_cast<HENDHeatEx*>(hit.item);
        if (!hx || hit.end < 1 || hit.end > static_cast<int>(hx->ends.size())) return;
        moved = hx;
    }
    movedEnd = hit.end;
    start = pointer = hit.point;
    dragging = true;
    accepted = bypassShown = false;
    m_diagram->SetDragActive(true);
    OwnerPlane()->AddToSelectedVector(this);
}

void HENDGhost::MoveTo(CanvasPoint p) {
    if (!dragging) return;
    const std::weak_ptr<const bool> life = m_diagram->LifeToken();
    OwnerPlane()->PaintNow();
    // A paint that had to rebuild the items has dropped the drag with them.
    if (life.expired() || !dragging) return;
    m_diagram->AutoScroll(p);
    if (splitMode && source) {
        pointer = {p.x, start.y};
        HENDStreamSegment* closing = bypassTarget(*m_diagram, *source, p.x);
        accepted = bypassShown = closing != nullptr;
        if (closing) bypassX = p.x, bypassY = closing->y;
        OwnerPlane()->PaintNow();
        return;
    }
    pointer = p;
    HENDStreamSegment* from = Source();
    HENDStreamSegment* target = m_diagram->FindItemAt(p);
    accepted = from && target && m_diagram->CheckMatch(from, target, moved != nullptr) != 0;
    if (!accepted) {
        Viewable::UserStatusClear(2);
    } else {
        const double a = std::min(from->x1, from->x2), length = std::abs(from->x2 - from->x1);
        const double tTarget = m_diagram->TemperatureAtPoint(p, target->cold);
        const double tSource = m_diagram->TemperatureAtPoint({a + from->markerPosition * length, from->y}, from->cold);
        Viewable::UserStatusReport(m_diagram->SegmentLabelText(*target, tTarget, false, true) + " /" +
                                       m_diagram->SegmentLabelText(*from, tSource, false, true),
                                   2);
    }
    OwnerPlane()->PaintNow();
}

void HENDGhost::Drop(CanvasPoint p) {
    HENDiagram* d = m_diagram;
    d->StopAutoScroll();
    // What the drop needs is taken now: a command rebuilds the diagram's items.
    HENDStreamSegment* from = Source();
    HENDStreamSegment* target = d->FindItemAt(p);
    HENDHeatEx* hx = moved;
    const bool split = splitMode && source;
    const double sourceT = sourceTemperature;
    const Text sourceName = source && source->Node() ? Text(source->Node()->getName()) : Text();
    const std::weak_ptr<const bool> life = d->LifeToken();
    if (hx) {
        // An exchanger end goes to another segment of its own side.
        const int match = from && target ? d->CheckMatch(from, target, true) : 0;
        if ((match == 1 || match == 2) && hend::isUnit(hx->Node()) && from->Node() && target->Node())
            SendViewableMessage(d, "movehx " + quoted(hx->Node()) + " " + quoted(from->Node()) + " " + quoted(target->Node()));
    } else if (split) {
        if (HENDStreamSegment* closing = bypassTarget(*d, *source, p.x)) target = closing;
        if (target && d->AddSplitAt(*source, *target) && !life.expired()) d->AfterExchangerAdded(sourceName);
    } else if (source && target && source->Node() && target->Node()) {
        const char* reason = d->GetDesign() ? d->GetDesign()->CheckStreamMatch(source->Node(), target->Node()) : "";
        if (reason) {
            if (*reason) Viewable::UserStatusReport(FindString(reason), 2);
        } else {
            Viewable::UserStatusClear(2);
            dropTemperature = d->TemperatureAtX(*target, p.x);
            d->AddExchangerAtTemperatures(*source, *target, sourceT, dropTemperature);
            if (!life.expired()) d->AfterExchangerAdded(sourceName);
        }
    }
    if (life.expired()) return;
    d->SetDragActive(false);
    Reset();
    d->PaintNow();
}

void HENDGhost::DrawShape(Canvas& canvas) {
    if (!dragging) return;
    canvas.AddLine(start, pointer, LineAttrib{kRed, 3, 1});
    if (splitMode) {
        // Up from the marker and back: the bypass to be; over a segment that closes it, red.
        const CanvasPoint up{start.x, start.y - 50.0};
        canvas.AddLine(start, up, LineAttrib{kRed, 3, 1});
        if (bypassShown) canvas.AddLine({bypassX, start.y - 50.0}, {bypassX, bypassY}, LineAttrib{kRed, 3, 1});
        else canvas.AddLine(up, start, LineAttrib{kBlack, 3, 1});
        return;
    }
    const ColourResource& mark = accepted ? kRed : kBlack;
    canvas.AddCircle(pointer, 30.0, LineAttrib{mark, 1, 0}, true, mark);
}
