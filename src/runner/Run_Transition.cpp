#include "runner/Run_Transition.h"

#include <cmath>
#include <map>
#include <string>

#include "graphics/Graphics_Display.h"
#include "graphics/Graphics_Quad.h"
#include "graphics/Graphics_State.h"
#include "graphics/Graphics_Surface.h"
#include "runner/Run_Main.h"
#include "runner/Runner_Frame.h"
#include "script/Code_Error.h"
#include "script/Code_Exec.h"
#include "script/Code_Function.h"
#include "script/Script_Class.h"
#include "script/Script_State.h"
#include "world/Instance_Class.h"
#include "world/Run_State.h"
#include "world/World_Angles.h"

namespace tavrin {

namespace {

// Transitions a game defines: kind -> the script or extension function that
// draws them, given the two pictures as surfaces.
std::map<int32_t, int32_t> g_defined;

// The pictures are surfaces, so that a transition the game defines can draw
// them with the surface functions.
struct RTransition {
  int32_t kind = 0;
  int32_t from = -1, to = -1;  // surfaces: the old room, the new room
  int32_t w = 0, h = 0;
};
RTransition g_transition;

int32_t Round(double v) { return int32_t(std::lround(v)); }

// The part (x, y, w, h) of a picture at the same place.
void Part(TextureId t, double x, double y, double w, double h) {
  if (w > 0 && h > 0) Quad_DrawPart(t, x, y, w, h, x, y, 1, 1, 0, 0xFFFFFF, 1);
}

// Kinds 1 to 4: the new room revealed from the left, right, top or bottom,
// `f` of the way.
void Reveal(int32_t kind, TextureId a, TextureId b, int32_t W, int32_t H, double f) {
  Quad_DrawSimple(a, 0, 0);
  const int32_t dw = Round(W * f), dh = Round(H * f);
  switch (kind) {
    case 1: Part(b, 0, 0, dw, H); break;
    case 2: Part(b, W - dw, 0, dw, H); break;
    case 3: Part(b, 0, 0, W, dh); break;
    case 4: Part(b, 0, H - dh, W, dh); break;
  }
}

}  // namespace

void Transition_DrawFrame(int32_t kind, TextureId a, TextureId b, int32_t W, int32_t H, double t, int32_t steps) {
  switch (kind) {
    case 1: case 2: case 3: case 4: Reveal(kind, a, b, W, H, t); break;
    case 5: {
      Quad_DrawSimple(a, 0, 0);
      const double x = Round((W - W * t) / 2), y = Round((H - H * t) / 2);
      Part(b, x, y, Round(W * t), Round(H * t));
      break;
    }
    case 6: Quad_DrawSimple(a, 0, 0); Quad_DrawSimple(b, Round(W * t) - W, 0); break;
    case 7: Quad_DrawSimple(a, 0, 0); Quad_DrawSimple(b, W - Round(W * t), 0); break;
    case 8: Quad_DrawSimple(a, 0, 0); Quad_DrawSimple(b, 0, Round(H * t) - H); break;
    case 9: Quad_DrawSimple(a, 0, 0); Quad_DrawSimple(b, 0, H - Round(H * t)); break;
    case 10: case 11: case 12: case 13: {
      // Interlaced: stripes of the new room grow in, then the rest is revealed.
      const int32_t k = Round(t * steps), half = steps / 2;
      if (k >= steps) {
        Quad_DrawSimple(b, 0, 0);
        break;
      }
      if (half < k && half > 0)
        Reveal(kind - 9, a, b, W, H, double(k - half) / half);
      else
        Quad_DrawSimple(a, 0, 0);
      const bool columns = kind <= 11, fromStart = kind == 10 || kind == 12;
      const double size = columns ? W : H;
      for (int32_t i = 0; i <= half; ++i) {
        if (!(fromStart ? i <= k : i >= half - k)) continue;
        const double at = Round(2 * i * size / steps), thick = Round(size / steps);
        if (columns)
          Part(b, at, 0, thick, H);
        else
          Part(b, 0, at, W, thick);
      }
      break;
    }
    case 14: Quad_DrawSimple(a, Round(W * t), 0); Quad_DrawSimple(b, Round(W * t) - W, 0); break;
    case 15: Quad_DrawSimple(a, -Round(W * t), 0); Quad_DrawSimple(b, W - Round(W * t), 0); break;
    case 16: Quad_DrawSimple(a, 0, Round(H * t)); Quad_DrawSimple(b, 0, Round(H * t) - H); break;
    case 17: Quad_DrawSimple(a, 0, -Round(H * t)); Quad_DrawSimple(b, 0, H - Round(H * t)); break;
    case 18: case 19: {
      // The new room grows from the centre while it turns.
      Quad_DrawSimple(a, 0, 0);
      const double turn = Angle_ToRadians((kind == 18 ? 1 : -1) * std::sqrt(t) * 360);
      Quad_Draw(b, W / 2.0, H / 2.0, W / 2.0, H / 2.0, t, t, turn, 0xFFFFFF, 1);
      break;
    }
    case 20: Quad_DrawSimple(a, 0, 0); Quad_Draw(b, 0, 0, 0, 0, 1, 1, 0, 0xFFFFFF, t); break;
    case 21:
      if (IGraphicsDevice* device = Graphics_Device()) device->Clear(true, 0xFF000000, false);
      if (t <= 0.5)
        Quad_Draw(a, 0, 0, 0, 0, 1, 1, 0, 0xFFFFFF, 1 - 2 * t);
      else
        Quad_Draw(b, 0, 0, 0, 0, 1, 1, 0, 0xFFFFFF, 2 * t - 1);
      break;
  }
}

namespace {

void Free() {
  Surface_Free(g_transition.from);
  Surface_Free(g_transition.to);
  g_transition = RTransition();
}

bool Playable(int32_t kind) { return (kind >= 1 && kind <= kTransitionKinds) || g_defined.count(kind); }

// One frame of a transition the game defines: its script or extension
// function is called with (from, to, width, height, t) on an instance of its
// own. An error in it is reported and the transition goes on.
void DrawDefinedFrame(int32_t function, const RTransition& t, double at) {
  RValue args[5] = {RValue::Real(t.from), RValue::Real(t.to), RValue::Real(t.w), RValue::Real(t.h), RValue::Real(at)};
  RValue result;
  CInstance caller(0, 0, 0, 0);
  const bool ok = function < kExtensionIdBase
                      ? Script_Execute(function - kScriptIdBase, &caller, &caller, result, false, args, 5)
                      : Function_Call(function, &caller, &caller, 5, result, args, nullptr, 0);
  if (!ok && g_ScriptState.errorPending) {
    Error_Report("ERROR in transition function " + Function_Name(function) + "\r" + g_ScriptState.errorText, false);
    Error_ClearPending();
  }
}

}  // namespace

bool Transition_Pending() { return g_transition.kind != 0; }

void Transition_Prepare(int32_t kind) {
  Free();
  if (!Graphics_Device() || !Playable(kind)) return;
  const int32_t w = g_Display.deviceW, h = g_Display.deviceH;
  const int32_t from = Surface_Create(w, h);
  if (from < 0 || !Surface_SetTarget(from)) {
    Surface_Free(from);
    return;
  }
  // The old room as it is now, drawn while the change it is leaving for
  // waits (a pending change would stop the drawing).
  const int32_t pending = g_World.newRoom;
  g_World.newRoom = CHANGE_NONE;
  Run_DrawRoom();
  g_World.newRoom = pending;
  const int32_t to = Surface_Create(w, h);
  if (to < 0 || !Surface_SetTarget(to)) {
    Surface_Free(from);
    Surface_Free(to);
    Surface_ResetTarget();
    return;
  }
  g_transition = {kind, from, to, w, h};
}

void Transition_Play(int32_t steps, int64_t afterStep) {
  if (!Transition_Pending()) return;
  if (Graphics_Device()) {
    Surface_ResetTarget();
    const int32_t S = steps < 1 ? 1 : steps;
    const RTransition t = g_transition;
    const auto defined = g_defined.find(t.kind);
    for (int32_t s = 0; s <= S; ++s) {
      Display_SetViewport(0, 0, t.w, t.h);
      Display_SetView(0, 0, t.w, t.h, 0);
      if (defined != g_defined.end())
        DrawDefinedFrame(defined->second, t, double(s) / S);
      else
        Transition_DrawFrame(t.kind, Surface_GetTexture(t.from), Surface_GetTexture(t.to), t.w, t.h, double(s) / S, S);
      Frame_PresentTransition(afterStep, s);
    }
  }
  Free();
}

namespace {

// transition_define(kind, name): true when `name` is a script or an
// extension function; then, for a kind from 1 below 1000000, it draws that
// kind from now on.
FUNCTION_ROUTINE(F_TransitionDefine) {
  int32_t id = -1;
  const bool found = Function_Resolve(a[1].AsText(), id) && id >= kScriptIdBase;
  const int64_t kind = Real_ToInt64(a[0].AsReal());
  if (found && kind >= 1 && kind < 1000000) g_defined[int32_t(kind)] = id;
  result.SetReal(found ? 1 : 0);
}

// transition_exists(kind): the built-in kinds and the defined ones.
FUNCTION_ROUTINE(F_TransitionExists) {
  const int64_t kind = Real_ToInt64(a[0].AsReal());
  const bool exists = (kind >= 1 && kind <= kTransitionKinds) || (kind < 1000000 && g_defined.count(int32_t(kind)));
  result.SetReal(exists ? 1 : 0);
}

}  // namespace

void Transition_RegisterFunctions() {
  g_defined.clear();
  Function_Implement("transition_define", F_TransitionDefine);
  Function_Implement("transition_exists", F_TransitionExists);
}

void Transition_Cancel() {
  if (Transition_Pending()) Surface_ResetTarget();
  Free();
}

}  // namespace tavrin
