#include "graphics/Graphics_Primitive.h"

#include <array>

#include "graphics/Graphics_DrawState.h"
#include "graphics/Graphics_State.h"
#include "graphics/Graphics_Texture.h"

namespace tavrin {

namespace {

struct RPrimitive {
  int32_t kind = 0;
  TextureId texture = kNoTexture;
  int32_t count = 0;
  std::array<RVertexTextured, kPrimitiveMaxVertices> vertices{};
};

RPrimitive g_primitive;

}  // namespace

void Primitive_Begin(int32_t kind, TextureId texture) {
  g_primitive.kind = kind;
  g_primitive.texture = texture;
  g_primitive.count = 0;
}

void Primitive_Vertex(double x, double y, double u, double v, uint32_t argb) {
  if (g_primitive.count >= kPrimitiveMaxVertices) return;
  g_primitive.vertices[size_t(g_primitive.count++)] =
      RVertexTextured{float(x), float(y), float(g_DrawState.depth), argb, float(u), float(v)};
}

void Primitive_End() {
  IGraphicsDevice* device = Graphics_Device();
  if (!device || g_primitive.kind < 1 || g_primitive.kind > 6) return;
  const EPrimitive kind = EPrimitive(g_primitive.kind);
  if (Primitive_UsedVertices(kind, g_primitive.count) == 0) return;
  DrawState_Apply(*device, g_DrawState.textureRepeat);
  device->SetTexture(Texture_Exists(g_primitive.texture) ? g_primitive.texture : kNoTexture);
  device->Draw(kind, EVertexLayout::Textured, g_primitive.vertices.data(), g_primitive.count);
  device->SetTexture(kNoTexture);
}

int32_t Primitive_VertexCount() { return g_primitive.count; }
const RVertexTextured* Primitive_Vertices() { return g_primitive.vertices.data(); }

}  // namespace tavrin
