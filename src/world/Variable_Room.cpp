// The built-in variables of the room's look: the background colour, the
// eight background layers and the eight views. An index outside 0 .. 7
// stands for layer (or view) 0. Outside any room, reads give the values of a
// fresh room and writes are dropped, so code run between rooms cannot reach
// a room that is gone.
#include "graphics/Background_Class.h"
#include "world/Room_Main.h"
#include "world/Variable_World.h"
#include "graphics/Graphics_Data.h"

namespace tavrin {

namespace {

using namespace var;

const CRoom& RoomRead() {
  static const CRoom kFresh;
  return g_World.room ? *g_World.room : kFresh;
}
size_t Slot(int32_t arr) { return size_t(arr >= 0 && arr < kRoomLayers ? arr : 0); }

// Layers is &CRoom::r_background or &CRoom::r_view; Field a member of its
// element.
template <auto Layers, auto Field>
bool GetLayer(CInstanceBase*, int32_t arr, RValue& v) {
  return Load(v, (RoomRead().*Layers)[Slot(arr)].*Field);
}
template <auto Layers, auto Field>
bool SetLayer(CInstanceBase*, int32_t arr, const RValue& v) {
  if (g_World.room) Store((g_World.room->*Layers)[Slot(arr)].*Field, v);
  return true;
}
template <auto Field>
constexpr RWorldVariable Back(const char* name) {
  return {name, GetLayer<&CRoom::r_background, Field>, SetLayer<&CRoom::r_background, Field>};
}
template <auto Field>
constexpr RWorldVariable View(const char* name) {
  return {name, GetLayer<&CRoom::r_view, Field>, SetLayer<&CRoom::r_view, Field>};
}

// The size of the picture a layer shows; 0 when it shows none.
template <bool Width>
bool GetBackSize(CInstanceBase*, int32_t arr, RValue& v) {
  const CBackground* b = g_GraphicsData.backgrounds.Get(RoomRead().r_background[Slot(arr)].index);
  return Real(v, !b ? 0 : Width ? b->GetWidth() : b->GetHeight());
}

bool GetColor(CInstanceBase*, int32_t, RValue& v) { return Real(v, RoomRead().r_color); }
bool SetColor(CInstanceBase*, int32_t, const RValue& v) {
  if (g_World.room) g_World.room->r_color = Int(v);
  return true;
}
bool GetShowColor(CInstanceBase*, int32_t, RValue& v) { return Real(v, RoomRead().ShowColor() ? 1 : 0); }
bool SetShowColor(CInstanceBase*, int32_t, const RValue& v) {
  if (g_World.room) g_World.room->r_flags = Flag(v) ? g_World.room->r_flags | 1 : g_World.room->r_flags & ~1;
  return true;
}
bool GetViewEnabled(CInstanceBase*, int32_t, RValue& v) { return Real(v, RoomRead().r_enableviews ? 1 : 0); }
bool SetViewEnabled(CInstanceBase*, int32_t, const RValue& v) {
  if (g_World.room) g_World.room->r_enableviews = Flag(v);
  return true;
}
bool GetViewCurrent(CInstanceBase*, int32_t, RValue& v) { return Real(v, g_World.viewCurrent); }

const RWorldVariable kRoomVariables[] = {
    {"background_color", GetColor, SetColor},
    {"background_showcolor", GetShowColor, SetShowColor},
    Back<&CBack::visible>("background_visible"),
    Back<&CBack::foreground>("background_foreground"),
    Back<&CBack::index>("background_index"),
    Back<&CBack::x>("background_x"),
    Back<&CBack::y>("background_y"),
    {"background_width", GetBackSize<true>, nullptr},
    {"background_height", GetBackSize<false>, nullptr},
    Back<&CBack::htiled>("background_htiled"),
    Back<&CBack::vtiled>("background_vtiled"),
    Back<&CBack::xscale>("background_xscale"),
    Back<&CBack::yscale>("background_yscale"),
    Back<&CBack::hspeed>("background_hspeed"),
    Back<&CBack::vspeed>("background_vspeed"),
    Back<&CBack::blend>("background_blend"),
    Back<&CBack::alpha>("background_alpha"),
    {"view_enabled", GetViewEnabled, SetViewEnabled},
    {"view_current", GetViewCurrent, nullptr},
    View<&CView::visible>("view_visible"),
    View<&CView::xview>("view_xview"),
    View<&CView::yview>("view_yview"),
    View<&CView::wview>("view_wview"),
    View<&CView::hview>("view_hview"),
    View<&CView::xport>("view_xport"),
    View<&CView::yport>("view_yport"),
    View<&CView::wport>("view_wport"),
    View<&CView::hport>("view_hport"),
    View<&CView::angle>("view_angle"),
    View<&CView::hborder>("view_hborder"),
    View<&CView::vborder>("view_vborder"),
    View<&CView::hspeed>("view_hspeed"),
    View<&CView::vspeed>("view_vspeed"),
    View<&CView::index>("view_object"),
};

}  // namespace

void Variable_RegisterRoom() { Variable_ImplementTable(kRoomVariables); }

}  // namespace tavrin
