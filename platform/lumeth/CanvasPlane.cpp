#include "lumeth/CanvasPlane.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <memory>

CanvasConnection::CanvasConnection(CanvasPlane* plane, const ObjectTypeInfo* type)
    : Viewable(plane, type), m_plane(plane), m_tag(plane ? plane->NextTag() : 0) {
    if (plane) plane->m_items.push_back(this);
}

CanvasConnection::CanvasConnection(CanvasPlane* plane, const Text& objectTypeName)
    : Viewable(plane, objectTypeName), m_plane(plane), m_tag(plane ? plane->NextTag() : 0) {
    if (plane) plane->m_items.push_back(this);
}

CanvasConnection::~CanvasConnection() {
    if (m_plane) {
        // Pictures go from their last item back (the plane's own teardown does), so the item is
        // looked for from the end.
        std::vector<CanvasConnection*>& items = m_plane->m_items;
        if (auto it = std::find(items.rbegin(), items.rend(), this); it != items.rend()) items.erase(std::next(it).base());
        std::erase(m_plane->m_selection, this);
        m_plane->m_canvas.RemoveTagged(m_tag);
    }
}

bool CanvasConnection::ContainsPoint(CanvasPoint p) const {
    return p.x >= m_position.x && p.x < m_position.x + m_width && p.y >= m_position.y && p.y < m_position.y + m_height;
}

void CanvasConnection::Draw(Canvas&) {}
void CanvasConnection::NotifySingleClickAt(CanvasPoint) {}
void CanvasConnection::NotifyDoubleClickAt(CanvasPoint) {}
void CanvasConnection::MoveTo(CanvasPoint p) { m_position = p; }
Text CanvasConnection::FlyByDescription(CanvasPoint) { return GetName(); }
void CanvasConnection::PrepareForObjectInspection(MenuModel&) {}
int CanvasConnection::ProcessInspectionCommand(int) { return 0; }

CanvasPlane::CanvasPlane(Viewable* parent, const ObjectTypeInfo* type) : Viewable(parent, type) {}
CanvasPlane::CanvasPlane(Viewable* parent, const Text& objectTypeName) : Viewable(parent, objectTypeName) {}

CanvasPlane::~CanvasPlane() {
    // Items go while the plane's lists still exist (each leaves them as it dies).
    while (!m_items.empty()) delete m_items.back();
}

CanvasConnection* CanvasPlane::GetItem(int i) const {
    return i >= 0 && i < GetNumberOfItems() ? m_items[static_cast<std::size_t>(i)] : nullptr;
}

void CanvasPlane::AddToSelectedVector(CanvasConnection* item) {
    if (item && std::find(m_selection.begin(), m_selection.end(), item) == m_selection.end()) m_selection.push_back(item);
}

void CanvasPlane::RemoveFromSelectedVector(CanvasConnection* item) { std::erase(m_selection, item); }

CanvasConnection* CanvasPlane::FindObjectAt(CanvasPoint p) {
    for (auto it = m_items.rbegin(); it != m_items.rend(); ++it)
        if ((*it)->ContainsPoint(p)) return *it;
    return nullptr;
}

void CanvasPlane::PrepareForPlaneInspection(CanvasPoint, MenuModel&) {}
int CanvasPlane::ProcessInspectionCommand(int) { return 0; }
Text CanvasPlane::BackgroundFlyBy(CanvasPoint) { return Text(); }

void CanvasPlane::Paint() {
    m_canvas.Clear();
    // The items as they were when painting began, each with its life token: an item deleted by
    // an earlier drawing is skipped, and painting stops when the plane itself has gone.
    struct Entry {
        CanvasConnection* item;
        std::weak_ptr<const bool> life;
    };
    std::vector<Entry> items;
    items.reserve(m_items.size());
    for (CanvasConnection* item : m_items) items.push_back({item, item->LifeToken()});
    const auto planeLife = LifeToken();
    for (const Entry& e : items) {
        if (planeLife.expired()) return;
        if (e.life.expired()) continue;
        m_canvas.SetTag(e.item->Tag());
        e.item->Draw(m_canvas);
    }
    if (!planeLife.expired()) m_canvas.SetTag(0);
}

void CanvasPlane::OnResize() {}

void CanvasPlane::DropPackage(CanvasPoint, int) {}

void CanvasPlane::RubberBand(CanvasPoint, CanvasPoint) {}

void CanvasPlane::SetPixelSize(double width, double height) {
    if (width == m_pixelWidth && height == m_pixelHeight) return;
    m_pixelWidth = width;
    m_pixelHeight = height;
    OnResize();
}

void CanvasPlane::SetVisibleExtent(double width, double height) {
    m_visibleWidth = width;
    m_visibleHeight = height;
}

namespace {
bool usable(double v) { return std::isfinite(v) && v > 0.0; }
}  // namespace

double CanvasPlane::ConvertToCanvasFromScene(double pixels) const {
    if (!usable(m_pixelWidth) || !usable(m_visibleWidth)) return pixels;
    return pixels * m_visibleWidth / m_pixelWidth;
}

CanvasPoint CanvasPlane::ConvertToCanvasFromScene(CanvasPoint pixel) const {
    const double sy = usable(m_pixelHeight) && usable(m_visibleHeight) ? m_visibleHeight / m_pixelHeight : 1.0;
    return {m_origin.x + ConvertToCanvasFromScene(pixel.x), m_origin.y + pixel.y * sy};
}

double CanvasPlane::ConvertToSceneFromCanvas(double length) const {
    if (!usable(m_pixelWidth) || !usable(m_visibleWidth)) return length;
    return length * m_pixelWidth / m_visibleWidth;
}

CanvasPoint CanvasPlane::ConvertToSceneFromCanvas(CanvasPoint point) const {
    const double sy = usable(m_pixelHeight) && usable(m_visibleHeight) ? m_pixelHeight / m_visibleHeight : 1.0;
    return {ConvertToSceneFromCanvas(point.x - m_origin.x), (point.y - m_origin.y) * sy};
}

bool CanvasPlane::PaintNow() {
    const auto life = LifeToken();
    ++m_paints;
    Paint();
    return !life.expired();
}

void CanvasDriver::Click(CanvasPoint p) {
    if (!PlaneAlive()) return;
    m_menuOpen = false;
    if (CanvasConnection* item = m_plane->FindObjectAt(p)) item->NotifySingleClickAt(p);
}

void CanvasDriver::DoubleClick(CanvasPoint p) {
    if (!PlaneAlive()) return;
    m_menuOpen = false;
    if (CanvasConnection* item = m_plane->FindObjectAt(p)) item->NotifyDoubleClickAt(p);
}

Text CanvasDriver::Move(CanvasPoint p) {
    if (!PlaneAlive()) return Text();
    // The selection follows the pointer; an item may end the drag (or die) in MoveTo.
    const std::vector<CanvasConnection*> selection = m_plane->Selection();
    for (CanvasConnection* item : selection) {
        const auto& current = m_plane->Selection();
        if (std::find(current.begin(), current.end(), item) == current.end()) continue;
        item->MoveTo(p);
        if (!PlaneAlive()) return Text();
    }
    if (CanvasConnection* item = m_plane->FindObjectAt(p)) return item->FlyByDescription(p);
    return m_plane->BackgroundFlyBy(p);
}

const MenuModel& CanvasDriver::OpenMenu(CanvasPoint p) {
    m_menu.Clear();
    m_menuItem = nullptr;
    m_menuItemLife.reset();
    m_menuOpen = false;
    if (!PlaneAlive()) return m_menu;
    if (CanvasConnection* item = m_plane->FindObjectAt(p)) {
        m_menuItem = item;
        m_menuItemLife = item->LifeToken();
        item->PrepareForObjectInspection(m_menu);
    } else {
        m_plane->PrepareForPlaneInspection(p, m_menu);
    }
    m_menuOpen = true;
    return m_menu;
}

int CanvasDriver::Choose(int number) {
    if (!m_menuOpen || !PlaneAlive() || !m_menu.Contains(number)) return 0;
    m_menuOpen = false;
    if (m_menuItem) {
        if (m_menuItemLife.expired()) return 0;
        return m_menuItem->ProcessInspectionCommand(number);
    }
    return m_plane->ProcessInspectionCommand(number);
}

void CanvasDriver::Drop(int package, CanvasPoint p) {
    if (!PlaneAlive()) return;
    m_menuOpen = false;
    m_plane->DropPackage(p, package);
}

void CanvasDriver::Rubber(CanvasPoint a, CanvasPoint b) {
    if (!PlaneAlive()) return;
    m_menuOpen = false;
    m_plane->RubberBand(a, b);
}

void CanvasDriver::Resize(double width, double height) {
    if (!PlaneAlive()) return;
    m_plane->SetPixelSize(width, height);
}
