// An instance: one live occurrence of an object in a room, with its position,
// motion, appearance, alarms, path and time line in progress, and its own
// variables. Writes that have side effects (the bounding box, the coupling of
// speed and direction) go through the setters here.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "graphics/Sprite_Mask.h"
#include "script/Variable_Class.h"

namespace tavrin {

class CObject;
class CSpatialIndex;

inline constexpr int32_t kAlarmCount = 12;

class CInstance : public CInstanceBase {
 public:
  // i_id, i_objectindex, i_vars and i_marked live in CInstanceBase.
  int32_t i_spriteindex = -1;
  double i_imageindex = 0, i_imagespeed = 1;
  double i_imagescalex = 1, i_imagescaley = 1, i_imageangle = 0, i_imagealpha = 1;
  uint32_t i_imageblend = 0xFFFFFF;
  int32_t i_maskindex = -1;
  double i_depth = 0;
  double i_x = 0, i_y = 0, i_xstart = 0, i_ystart = 0, i_xprevious = 0, i_yprevious = 0;
  double i_direction = 0, i_speed = 0, i_friction = 0, i_gravitydir = 270, i_gravity = 0;
  double i_hspeed = 0, i_vspeed = 0;
  TRect i_bbox{};
  bool i_visible = true, i_solid = false, i_persistent = false;
  CObject* i_object = nullptr;
  std::array<int32_t, kAlarmCount> i_timer{-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
  bool i_deactivated = false;
  int32_t i_pathindex = -1;
  double i_pathposition = 0, i_pathpositionprevious = 0, i_pathspeed = 0, i_pathscale = 1, i_pathorientation = 0;
  int32_t i_pathend = 0;
  double i_pathxstart = 0, i_pathystart = 0;
  int32_t i_timelineindex = -1;
  double i_timelineposition = 0, i_timelinespeed = 1;
  bool i_timelinerunning = false, i_timelineloop = false;
  std::string i_initcode;

  // Where the room keeps the instance; not copied by Assign. The spatial
  // index holds the cells its box covers; the positions give the order in
  // which a full scan of the lists would meet it.
  CSpatialIndex* i_index = nullptr;
  int32_t i_cells[4] = {0, 0, -1, -1};
  bool i_big = false;
  mutable uint64_t i_stamp = 0;
  int32_t i_listpos = 0;    // in the room's instance list
  int64_t i_objseq = 0;     // in every per-object list that holds it
  int32_t i_directpos = 0;  // in its object's direct list

  CInstance() = default;
  CInstance(double x, double y, int32_t id, int32_t objectindex) { Create(x, y, id, objectindex); }
  CInstance(const CInstance&) = delete;
  CInstance& operator=(const CInstance&) = delete;

  void Create(double x, double y, int32_t id, int32_t objectindex);
  // Copies every field of `inst` (variables deep-copied); the bounding box is
  // copied as stored.
  void Assign(const CInstance& inst);

  // Changing what the instance is: takes the sprite, mask, depth and flags
  // of the object.
  void SetObjectIndex(int32_t objectindex);
  void SetSpriteIndex(int32_t sprite);
  void SetMaskIndex(int32_t mask);
  void SetImageScaleX(double v);
  void SetImageScaleY(double v);
  void SetImageAngle(double v);
  void SetPosition(double nx, double ny);
  int32_t ImageNumber() const;

  // Speed and direction always agree with the horizontal and vertical speed.
  void SetDirection(double v);
  void SetSpeed(double v);
  void SetHSpeed(double v);
  void SetVSpeed(double v);
  void AddToSpeed(double dir, double amount);
  // Friction, then gravity: once per step, before the instance moves.
  void AdaptSpeed();

  void SetPathPosition(double v);
  void SetPathPositionPrevious(double v);

  // Starts following path `ind` (a negative index stops following): from
  // position 0, or from 1 with a negative speed; when not `relative` the
  // instance is first put on the path's point there. The path is anchored
  // at the instance's position.
  void AssignPath(int32_t ind, double speed, double scale, double orient, bool relative, int32_t endact);
  // One step along the path, before the instance moves by its speed: the
  // instance is put on its next point, facing along the path with speed 0.
  // True when the path's end was reached in this step.
  bool AdaptPath();

  void UpdateBoundingBox();

 private:
  void FromComponents();
  void FromPolar();
};

// A value is snapped to the nearest integer when it lies within 0.0001 of it,
// so motion computed through sines and cosines lands on whole pixels.
double Motion_Snap(double v);

}  // namespace tavrin
