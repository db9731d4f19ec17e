// Package records of the game world and the other kinds without pictures or
// sound: each written, read and written again to the same bytes, and each
// damaged record refused.
#include <gtest/gtest.h>

#include "functions/Extension_Class.h"
#include "package/DataNew_Class.h"
#include "windows/Help_Main.h"
#include "world/Object_Class.h"
#include "world/Path_Class.h"
#include "world/Room_Class.h"
#include "world/TimeLine_Class.h"

namespace tavrin {
namespace {

// Writes `value`, reads it into a fresh T, writes that again: the two byte
// strings must agree and the whole record must be consumed.
template <class T>
std::vector<uint8_t> RoundTrip(const T& value) {
  CStream first;
  value.SaveToStream(first);
  first.Seek(0);
  T read;
  EXPECT_TRUE(read.LoadFromStream(first));
  EXPECT_EQ(first.Remaining(), 0u);
  CStream second;
  read.SaveToStream(second);
  EXPECT_EQ(first.Bytes(), second.Bytes());
  return first.Bytes();
}

CAction FullAction() {
  CAction a;
  a.act_libid = 1;
  a.act_id = 211;
  a.act_kind = ACT_REPEAT;
  a.act_userelative = true;
  a.act_isquestion = true;
  a.act_useapplyto = true;
  a.act_exetype = 1;
  a.act_functionname = "action_move";
  a.act_codestring = "x = 1";
  a.act_argumentcount = 3;
  a.act_argtype = {0, 1, 2};
  a.act_who = 4;
  a.act_relative = true;
  a.act_argstring = {"a", "'b'", ""};
  a.act_isnot = true;
  return a;
}

CObject FullObject() {
  CObject o;
  o.o_spriteindex = 3;
  o.o_solid = true;
  o.o_depth = -7;
  o.o_parent = 1;
  o.o_mask = 2;
  o.AddEvent(0, 0).e_actions = {FullAction(), CAction{}};
  o.AddEvent(4, 12).e_actions = {FullAction()};
  o.AddEvent(4, 2).e_actions = {};  // an empty event keeps its place
  o.AddEvent(7, 10).e_actions = {CAction{}};
  return o;
}

TEST(WorldRecords, EveryKindRoundTrips) {
  RoundTrip(FullObject());
  CObject none;  // no event lists at all
  RoundTrip(none);

  CTimeLine t;
  t.s_moments = {{0, CEvent{{FullAction()}}}, {30, CEvent{}}, {31, CEvent{{CAction{}}}}};
  RoundTrip(t);

  CTrigger tr;
  tr.i_name = "tr_low";
  tr.i_condition = "hp < 3";
  tr.i_constname = "tr_low";
  tr.i_moment = 2;
  RoundTrip(tr);

  CPath p;
  p.i_kind = 1;
  p.i_closed = false;
  p.i_points = {{0, 0, 100}, {10.5, -3, 50}};
  RoundTrip(p);

  for (int32_t version : {541, 810, 811}) {
    SCOPED_TRACE(version);
    CRoom r;
    r.r_version = version;
    r.r_caption = "Level 1";
    r.r_flags = 2;
    r.r_code = "score = 0";
    r.r_backcount = 2;
    r.r_background[1].index = 4;
    r.r_background[1].x = -16;
    r.r_viewcount = 1;
    r.r_view[0].visible = true;
    r.r_view[0].index = 2;
    RRoomInstance in;
    in.x = 5;
    in.object = 1;
    in.id = 100007;
    in.code = "hp = 9";
    if (version >= 810) {
      in.xscale = 2;
      in.blend = 0x00FF00;
      in.alpha = 128 / 255.0;
    }
    if (version == 811) in.angle = 45;
    r.r_instances = {in, RRoomInstance{}};
    RTile tile;
    tile.index = 4;
    tile.w = tile.h = 16;
    tile.depth = 1000;
    r.r_tiles = {tile};
    RoundTrip(r);
  }

  RGameInformation info;
  info.caption = "Help";
  info.text = "{\\rtf1 hello}";
  info.left = -1;
  RoundTrip(info);

  CDataFile d;
  d.s_filename = "data/level.txt";
  d.s_exists = d.s_store = true;
  d.s_data = CStream(std::vector<uint8_t>{1, 2, 3});
  d.s_size = 3;
  d.s_exportaction = 3;
  d.s_exportdir = "levels";
  RoundTrip(d);
  CDataFile notStored;  // exists, not stored: no data bytes in the record
  notStored.s_exists = true;
  const auto bytes = RoundTrip(notStored);
  EXPECT_EQ(bytes.size(), 11u * 4);  // eleven 4-byte fields and no data
}

TEST(WorldRecords, ExtensionPackagesKeepFunctionsAndScrambledFiles) {
  CExtensionPackage p;
  p.s_name = "ext";
  p.s_folder = "temp12";
  p.s_key = -123456789;
  CExtensionFile lib;
  lib.s_filename = "tool.so";
  lib.s_init = "tool_init";
  CExtensionFunction f;
  f.s_name = "tool_do";
  f.s_extname = "do_it";
  f.s_argcount = 2;
  f.s_argtype[0] = 1;
  lib.s_functions = {f};
  lib.s_constants = {{"TOOL_MAX", "10"}};
  lib.s_data = CStream(std::vector<uint8_t>(300, 0x42));
  CExtensionFile empty;
  empty.s_kind = 3;  // no stored data
  p.s_includes = {lib, empty};
  CStream s;
  p.SaveToStream(s);
  s.Seek(0);
  CExtensionPackage read;
  ASSERT_TRUE(read.LoadFromStream(s));
  ASSERT_EQ(read.s_includes.size(), 2u);
  EXPECT_EQ(read.s_includes[0].s_data.Bytes(), lib.s_data.Bytes());
  EXPECT_EQ(read.s_includes[0].s_functions[0].s_extname, "do_it");
  EXPECT_EQ(read.s_includes[0].s_constants[0].s_value, "10");
  EXPECT_EQ(read.s_key, p.s_key);
  // The file data is scrambled in the package, not stored plain.
  const std::vector<uint8_t> run(16, 0x42);
  EXPECT_EQ(std::search(s.Bytes().begin(), s.Bytes().end(), run.begin(), run.end()), s.Bytes().end());
}

// A record with one field changed at `offset` must be refused.
template <class T>
void ExpectRefused(const T& value, size_t offset, int32_t replacement, const char* what) {
  CStream s;
  value.SaveToStream(s);
  s.Seek(offset);
  s.WriteInteger(replacement);
  s.Seek(0);
  T read;
  bool ok = false;
  try {
    ok = read.LoadFromStream(s);
  } catch (const CStreamError&) {
  }
  EXPECT_FALSE(ok) << what;
}

TEST(WorldRecords, DamagedRecordsAreRefusedNotReadMisaligned) {
  const CObject o = FullObject();
  const size_t events = 9 * 4;           // the object's fields before the event lists
  const size_t firstAction = events + 12;  // number, event version, action count
  ExpectRefused(o, 0, 431, "object version");
  ExpectRefused(o, 8 * 4, 12, "last event type beyond trigger");
  ExpectRefused(o, events + 4, 401, "event version");
  ExpectRefused(o, events + 8, 1 << 30, "action count beyond the data");
  ExpectRefused(o, firstAction, 441, "action version");
  ExpectRefused(o, events, kMaxEventNumber + 1, "event number");

  CTimeLine t;
  t.s_moments = {{5, CEvent{}}, {9, CEvent{}}};
  ExpectRefused(t, 0, 501, "time line version");
  ExpectRefused(t, 4 + 4 + 12, 5, "moments out of order");
  ExpectRefused(CPath{}, 0, 531, "path version");
  ExpectRefused(CPath{}, 16, 1 << 29, "path point count");
  ExpectRefused(CTrigger{}, 0, 700, "trigger version");
  CRoom r;
  ExpectRefused(r, 0, 800, "room version");
  CDataFile d;
  ExpectRefused(d, 0, 700, "included file version");
}

TEST(WorldRecords, RoomCountsAreLimited) {
  CRoom r;
  r.r_backcount = 0;
  r.r_viewcount = 0;
  CStream s;
  r.SaveToStream(s);
  // caption (empty) sits after the version; the background count follows
  // width, height, speed, persistent, colour, flags and the code.
  const size_t backCount = 4 + 4 + 6 * 4 + 4;
  for (int32_t bad : {9, -1}) {
    CStream copy = s;
    copy.Seek(backCount);
    copy.WriteInteger(bad);
    copy.Seek(0);
    CRoom read;
    EXPECT_FALSE(read.LoadFromStream(copy)) << bad;
  }
}

TEST(WorldRecords, ParentCyclesAreFound) {
  CResourceList<CObject> objects;
  for (int i = 0; i < 4; ++i) objects.Add(std::make_unique<CObject>(), "o" + std::to_string(i));
  objects.Get(0)->o_parent = 1;
  objects.Get(1)->o_parent = 7;  // names nothing: the chain ends
  EXPECT_TRUE(Object_ParentsAcyclic(objects));
  objects.Get(2)->o_parent = 3;
  objects.Get(3)->o_parent = 2;
  EXPECT_FALSE(Object_ParentsAcyclic(objects));
  objects.Get(3)->o_parent = 3;  // its own parent
  EXPECT_FALSE(Object_ParentsAcyclic(objects));
}

}  // namespace
}  // namespace tavrin
