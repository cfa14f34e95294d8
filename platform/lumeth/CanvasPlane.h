#pragma once
// Views drawn on a canvas: a CanvasPlane (itself a view) holds CanvasConnection items (views
// too, children of the plane). The plane paints every item onto its recording canvas; the
// CanvasDriver turns a user's gestures (click, double click, move, context menu) into the
// plane's and the items' hooks. Items and planes may delete themselves inside those hooks.
#include "lumeth/Canvas.h"
#include "lumeth/MenuModel.h"
#include "lumeth/Viewable.h"

#include <memory>
#include <vector>

class CanvasPlane;

class CanvasConnection : public Viewable {
public:
    CanvasConnection(CanvasPlane* plane, const ObjectTypeInfo* type);
    CanvasConnection(CanvasPlane* plane, const Text& objectTypeName);
    ~CanvasConnection() override;

    CanvasPlane* OwnerPlane() const { return m_plane; }
    CanvasPoint GetPosition() const { return m_position; }
    void SetPosition(CanvasPoint p) { m_position = p; }
    void MoveBy(double dx, double dy) { m_position.x += dx, m_position.y += dy; }
    double Width() const { return m_width; }
    double Height() const { return m_height; }
    void SetSize(double width, double height) { m_width = width, m_height = height; }
    // The tag its primitives carry on the plane's canvas.
    int Tag() const { return m_tag; }

    // ---- hooks ----
    // The base: the box from its position over its size (left and top inclusive).
    virtual bool ContainsPoint(CanvasPoint p) const;
    virtual void Draw(Canvas& canvas);
    virtual void NotifySingleClickAt(CanvasPoint p);
    virtual void NotifyDoubleClickAt(CanvasPoint p);
    virtual void MoveTo(CanvasPoint p);
    virtual Text FlyByDescription(CanvasPoint p);
    virtual void PrepareForObjectInspection(MenuModel& menu);
    // 1 when the command was handled.
    virtual int ProcessInspectionCommand(int command);

private:
    CanvasPlane* m_plane;
    CanvasPoint m_position;
    double m_width = 0.0, m_height = 0.0;
    int m_tag;
};

class CanvasPlane : public Viewable {
public:
    CanvasPlane(Viewable* parent, const ObjectTypeInfo* type);
    CanvasPlane(Viewable* parent, const Text& objectTypeName);
    ~CanvasPlane() override;

    Canvas& GetCanvas() { return m_canvas; }
    const Canvas& GetCanvas() const { return m_canvas; }
    int GetNumberOfItems() const { return static_cast<int>(m_items.size()); }
    CanvasConnection* GetItem(int i) const;
    // The selection of the plane (items that are being dragged, say).
    void AddToSelectedVector(CanvasConnection* item);
    void RemoveFromSelectedVector(CanvasConnection* item);
    const std::vector<CanvasConnection*>& Selection() const { return m_selection; }

    // ---- the window onto the canvas ----
    // The window's size in pixels. Setting it calls OnResize when it changed.
    void SetPixelSize(double width, double height);
    double PixelWidth() const { return m_pixelWidth; }
    double PixelHeight() const { return m_pixelHeight; }
    // The part of the canvas the window shows: its extent in canvas units and its top-left
    // corner (the origin).
    void SetVisibleExtent(double width, double height);
    double VisibleWidth() const { return m_visibleWidth; }
    double VisibleHeight() const { return m_visibleHeight; }
    void SetOrigin(CanvasPoint origin) { m_origin = origin; }
    CanvasPoint GetOrigin() const { return m_origin; }
    // Screen lengths (pixels) in canvas units and back, by the horizontal scale; one to one while
    // either size is not set. A point converts about the origin.
    double ConvertToCanvasFromScene(double pixels) const;
    CanvasPoint ConvertToCanvasFromScene(CanvasPoint pixel) const;
    double ConvertToSceneFromCanvas(double length) const;
    CanvasPoint ConvertToSceneFromCanvas(CanvasPoint point) const;
    // Paints at once (a dragged placeholder is erased this way); answers false when a drawing
    // deleted the plane.
    bool PaintNow();
    int PaintCount() const { return m_paints; }

    // ---- hooks ----
    // The topmost item (the last added) containing the point; null over the background.
    virtual CanvasConnection* FindObjectAt(CanvasPoint p);
    virtual void PrepareForPlaneInspection(CanvasPoint p, MenuModel& menu);
    virtual int ProcessInspectionCommand(int command);
    virtual Text BackgroundFlyBy(CanvasPoint p);
    // Clears the canvas and draws every item, each under its own tag. An item's drawing may
    // delete items (itself, later ones) or the plane: only items still there are drawn.
    virtual void Paint();
    // The window changed size (the new size is set); the base does nothing.
    virtual void OnResize();
    // A drag-and-drop package of the framework (its kind, 1 and up) dropped at the point; the
    // base takes none.
    virtual void DropPackage(CanvasPoint p, int package);
    // The user drew a rubber band from a to b over the background; the base does nothing.
    virtual void RubberBand(CanvasPoint a, CanvasPoint b);

private:
    friend class CanvasConnection;
    int NextTag() { return ++m_lastTag; }
    Canvas m_canvas;
    std::vector<CanvasConnection*> m_items;
    std::vector<CanvasConnection*> m_selection;
    int m_lastTag = 0;
    double m_pixelWidth = 0.0, m_pixelHeight = 0.0;
    double m_visibleWidth = 0.0, m_visibleHeight = 0.0;
    CanvasPoint m_origin;
    int m_paints = 0;
};

class CanvasDriver {
public:
    explicit CanvasDriver(CanvasPlane& plane) : m_plane(&plane), m_life(plane.LifeToken()) {}

    // False once the plane has died.
    bool PlaneAlive() const { return !m_life.expired(); }
    void Click(CanvasPoint p);
    void DoubleClick(CanvasPoint p);
    // Moves the pointer: an item that was clicked and is selected follows it; the answer is the
    // fly-by text at the point.
    Text Move(CanvasPoint p);
    // Builds the context menu at the point (the item's or the background's).
    const MenuModel& OpenMenu(CanvasPoint p);
    // Chooses an item of the open menu; 0 when no menu is open, the number is not in it, or
    // the object it was opened on has died.
    int Choose(int number);
    // Whether the open menu offers a choosable item of that number.
    bool MenuOffers(int number) const { return m_menuOpen && m_menu.Contains(number); }
    // Drops a package of the given kind at the point, draws a rubber band, resizes the window.
    void Drop(int package, CanvasPoint p);
    void Rubber(CanvasPoint a, CanvasPoint b);
    void Resize(double width, double height);

private:
    CanvasPlane* m_plane;
    std::weak_ptr<const bool> m_life;
    MenuModel m_menu;
    CanvasConnection* m_menuItem = nullptr;
    std::weak_ptr<const bool> m_menuItemLife;
    bool m_menuOpen = false;
};
