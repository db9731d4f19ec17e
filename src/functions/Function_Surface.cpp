// The surface functions games call: making, freeing and querying surfaces,
// drawing into them, drawing them, reading, copying and saving them.
// Functions that name a surface that does not exist say so, except the
// quiet ones a game uses to find out (exists, the sizes, the texture,
// setting the target, freeing).
#include "functions/Function_Surface.h"

#include <string>

#include "functions/Function_Graphics.h"
#include "graphics/Graphics_Color.h"
#include "graphics/Graphics_Surface.h"
#include "script/Code_Error.h"
#include "script/Code_Function.h"
#include "world/World_Routine.h"

namespace tavrin {

namespace {

double R(const RValue& v) { return v.AsReal(); }
uint32_t Col(const RValue& v) { return uint32_t(uint64_t(Color_Arg(v.AsReal()))) & 0xFFFFFFu; }

// The surface a function works on; a missing one is reported.
bool Used(const RValue& v) {
  if (Surface_Exists(ArgInt(v))) return true;
  Error_ReportAction("Trying to use non-existing surface.", false);
  return false;
}

FUNCTION_ROUTINE(F_SurfaceCreate) { result.SetReal(Surface_Create(ArgInt(a[0]), ArgInt(a[1]))); }
// Surfaces with other formats are not offered: always -1.
FUNCTION_ROUTINE(F_SurfaceCreateExt) { result.SetReal(-1); }
FUNCTION_ROUTINE(F_SurfaceFree) { Surface_Free(ArgInt(a[0])); }
FUNCTION_ROUTINE(F_SurfaceExists) { result.SetReal(Surface_Exists(ArgInt(a[0])) ? 1 : 0); }
FUNCTION_ROUTINE(F_SurfaceGetWidth) { result.SetReal(Surface_GetWidth(ArgInt(a[0]))); }
FUNCTION_ROUTINE(F_SurfaceGetHeight) { result.SetReal(Surface_GetHeight(ArgInt(a[0]))); }
FUNCTION_ROUTINE(F_SurfaceGetTexture) { result.SetReal(Surface_GetTexture(ArgInt(a[0]))); }
FUNCTION_ROUTINE(F_SurfaceSetTarget) { result.SetReal(Surface_SetTarget(ArgInt(a[0])) ? 1 : 0); }
FUNCTION_ROUTINE(F_SurfaceResetTarget) { result.SetReal(Surface_ResetTarget() ? 1 : 0); }

FUNCTION_ROUTINE(F_DrawSurface) {
  if (Used(a[0])) Surface_DrawSimple(ArgInt(a[0]), R(a[1]), R(a[2]));
}
FUNCTION_ROUTINE(F_DrawSurfaceExt) {
  if (Used(a[0])) Surface_Draw(ArgInt(a[0]), R(a[1]), R(a[2]), R(a[3]), R(a[4]), R(a[5]), Col(a[6]), R(a[7]));
}
FUNCTION_ROUTINE(F_DrawSurfaceStretched) {
  if (Used(a[0])) Surface_DrawStretched(ArgInt(a[0]), R(a[1]), R(a[2]), R(a[3]), R(a[4]), 0xFFFFFF, 1);
}
FUNCTION_ROUTINE(F_DrawSurfaceStretchedExt) {
  if (Used(a[0])) Surface_DrawStretched(ArgInt(a[0]), R(a[1]), R(a[2]), R(a[3]), R(a[4]), Col(a[5]), R(a[6]));
}
FUNCTION_ROUTINE(F_DrawSurfacePart) {
  if (Used(a[0]))
    Surface_DrawPart(ArgInt(a[0]), R(a[1]), R(a[2]), R(a[3]), R(a[4]), R(a[5]), R(a[6]), 1, 1, 0xFFFFFF, 1);
}
FUNCTION_ROUTINE(F_DrawSurfacePartExt) {
  if (Used(a[0]))
    Surface_DrawPart(ArgInt(a[0]), R(a[1]), R(a[2]), R(a[3]), R(a[4]), R(a[5]), R(a[6]), R(a[7]), R(a[8]),
                     Col(a[9]), R(a[10]));
}
FUNCTION_ROUTINE(F_DrawSurfaceGeneral) {
  if (Used(a[0]))
    Surface_DrawGeneral(ArgInt(a[0]), R(a[1]), R(a[2]), R(a[3]), R(a[4]), R(a[5]), R(a[6]), R(a[7]), R(a[8]),
                        R(a[9]), Col(a[10]), Col(a[11]), Col(a[12]), Col(a[13]), R(a[14]));
}
// Tiled copies cover the whole room, wherever the view looks.
FUNCTION_ROUTINE(F_DrawSurfaceTiled) {
  if (Used(a[0])) Surface_DrawTiled(ArgInt(a[0]), R(a[1]), R(a[2]), 1, 1, 0xFFFFFF, 1, Function_RoomWidth(), Function_RoomHeight());
}
FUNCTION_ROUTINE(F_DrawSurfaceTiledExt) {
  if (Used(a[0]))
    Surface_DrawTiled(ArgInt(a[0]), R(a[1]), R(a[2]), R(a[3]), R(a[4]), Col(a[5]), R(a[6]), Function_RoomWidth(),
                      Function_RoomHeight());
}

void Save(const RValue& id, const RValue& name, int32_t x, int32_t y, int32_t w, int32_t h) {
  if (!Used(id)) return;
  const std::string path(name.AsText());
  if (path.empty()) return Error_ReportAction("Trying to save surface to empty image file name.", false);
  Surface_Save(ArgInt(id), path, x, y, w, h);  // a file that cannot be written is passed over
}
FUNCTION_ROUTINE(F_SurfaceSave) { Save(a[0], a[1], 0, 0, Surface_GetWidth(ArgInt(a[0])), Surface_GetHeight(ArgInt(a[0]))); }
FUNCTION_ROUTINE(F_SurfaceSavePart) { Save(a[0], a[1], ArgInt(a[2]), ArgInt(a[3]), ArgInt(a[4]), ArgInt(a[5])); }
FUNCTION_ROUTINE(F_SurfaceGetPixel) {
  if (Used(a[0])) result.SetReal(Surface_GetPixel(ArgInt(a[0]), ArgInt(a[1]), ArgInt(a[2])));
}
FUNCTION_ROUTINE(F_SurfaceCopy) {
  if (Used(a[0]) && Used(a[3])) Surface_Copy(ArgInt(a[0]), ArgInt(a[1]), ArgInt(a[2]), ArgInt(a[3]));
}
FUNCTION_ROUTINE(F_SurfaceCopyPart) {
  if (Used(a[0]) && Used(a[3]))
    Surface_CopyPart(ArgInt(a[0]), ArgInt(a[1]), ArgInt(a[2]), ArgInt(a[3]), ArgInt(a[4]), ArgInt(a[5]),
                     ArgInt(a[6]), ArgInt(a[7]));
}

const RFunctionRoutine kSurfaceFunctions[] = {
    {"surface_create", F_SurfaceCreate},
    {"surface_create_ext", F_SurfaceCreateExt},
    {"surface_free", F_SurfaceFree},
    {"surface_exists", F_SurfaceExists},
    {"surface_get_width", F_SurfaceGetWidth},
    {"surface_get_height", F_SurfaceGetHeight},
    {"surface_get_texture", F_SurfaceGetTexture},
    {"surface_set_target", F_SurfaceSetTarget},
    {"surface_reset_target", F_SurfaceResetTarget},
    {"draw_surface", F_DrawSurface},
    {"draw_surface_ext", F_DrawSurfaceExt},
    {"draw_surface_stretched", F_DrawSurfaceStretched},
    {"draw_surface_stretched_ext", F_DrawSurfaceStretchedExt},
    {"draw_surface_part", F_DrawSurfacePart},
    {"draw_surface_part_ext", F_DrawSurfacePartExt},
    {"draw_surface_general", F_DrawSurfaceGeneral},
    {"draw_surface_tiled", F_DrawSurfaceTiled},
    {"draw_surface_tiled_ext", F_DrawSurfaceTiledExt},
    {"surface_save", F_SurfaceSave},
    {"surface_save_part", F_SurfaceSavePart},
    {"surface_getpixel", F_SurfaceGetPixel},
    {"surface_copy", F_SurfaceCopy},
    {"surface_copy_part", F_SurfaceCopyPart},
};

}  // namespace

void Function_RegisterSurfaces() { Function_ImplementTable(kSurfaceFunctions); }

}  // namespace tavrin
