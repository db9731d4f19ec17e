#include "package/Option_Main.h"

#include "package/Package_Load.h"

namespace tavrin {


// The settings block: a version, then a compressed record of the fields in a
// fixed order. The progress-bar pictures sit inside it, right after the flag
// that asks for them.
bool ReadSettings(CStream& stream, RGameSettings& s, RLoadPictures& pictures, int32_t* versionOut) {
  s = RGameSettings{};
  pictures = RLoadPictures{};
  const int32_t version = stream.ReadInteger();
  if (versionOut) *versionOut = version;
  if (version < 800) return false;
  CStream r = stream.ReadStreamC();
  s.opt_fullscreen = r.ReadBoolean();
  s.opt_interpolate = r.ReadBoolean();
  s.opt_noborder = r.ReadBoolean();
  s.opt_showcursor = r.ReadBoolean();
  s.opt_scale = r.ReadInteger();
  s.opt_sizeable = r.ReadBoolean();
  s.opt_stayontop = r.ReadBoolean();
  s.opt_windowcolor = r.ReadInteger();
  s.opt_changemode = r.ReadBoolean();
  s.opt_colordepth = r.ReadInteger();
  s.opt_resolution = r.ReadInteger();
  s.opt_frequency = r.ReadInteger();
  s.opt_nobuttons = r.ReadBoolean();
  s.opt_displayflags = r.ReadInteger();
  s.opt_noscreensaver = r.ReadBoolean();
  s.opt_keyf4 = r.ReadBoolean();
  s.opt_keyf1 = r.ReadBoolean();
  s.opt_keyesc = r.ReadBoolean();
  s.opt_keyf5f6 = r.ReadBoolean();
  s.opt_keyf9 = r.ReadBoolean();
  s.opt_closeasesc = r.ReadBoolean();
  s.opt_priority = r.ReadInteger();
  s.opt_freeze = r.ReadBoolean();
  s.opt_showprogress = r.ReadBoolean();
  if (s.opt_showprogress) {
    pictures.backBar = r.ReadBitmap();
    pictures.frontBar = r.ReadBitmap();
  }
  pictures.image = r.ReadBitmap();
  s.opt_loadtransparent = r.ReadBoolean();
  s.opt_loadalpha = r.ReadInteger();
  s.opt_scaleprogress = r.ReadBoolean();
  s.opt_showerrors = r.ReadBoolean();
  s.opt_logerrors = r.ReadBoolean();
  s.opt_aborterrors = r.ReadBoolean();
  const int32_t errorFlags = r.ReadInteger();
  s.opt_uninitzero = (errorFlags & 1) != 0;
  s.opt_checkargs = (errorFlags & 2) != 0;
  if (version >= 820) {
    r.ReadInteger();  // reserved
    s.opt_createfirst = r.ReadBoolean();
  }
  return true;
}

void WriteSettings(CStream& stream, const RGameSettings& s, const RLoadPictures& pictures, int32_t version) {
  stream.WriteInteger(version);
  CStream w;
  w.WriteBoolean(s.opt_fullscreen);
  w.WriteBoolean(s.opt_interpolate);
  w.WriteBoolean(s.opt_noborder);
  w.WriteBoolean(s.opt_showcursor);
  w.WriteInteger(s.opt_scale);
  w.WriteBoolean(s.opt_sizeable);
  w.WriteBoolean(s.opt_stayontop);
  w.WriteInteger(s.opt_windowcolor);
  w.WriteBoolean(s.opt_changemode);
  w.WriteInteger(s.opt_colordepth);
  w.WriteInteger(s.opt_resolution);
  w.WriteInteger(s.opt_frequency);
  w.WriteBoolean(s.opt_nobuttons);
  w.WriteInteger(s.opt_displayflags);
  w.WriteBoolean(s.opt_noscreensaver);
  w.WriteBoolean(s.opt_keyf4);
  w.WriteBoolean(s.opt_keyf1);
  w.WriteBoolean(s.opt_keyesc);
  w.WriteBoolean(s.opt_keyf5f6);
  w.WriteBoolean(s.opt_keyf9);
  w.WriteBoolean(s.opt_closeasesc);
  w.WriteInteger(s.opt_priority);
  w.WriteBoolean(s.opt_freeze);
  w.WriteBoolean(s.opt_showprogress);
  if (s.opt_showprogress) {
    w.WriteBitmap(pictures.backBar ? &*pictures.backBar : nullptr);
    w.WriteBitmap(pictures.frontBar ? &*pictures.frontBar : nullptr);
  }
  w.WriteBitmap(pictures.image ? &*pictures.image : nullptr);
  w.WriteBoolean(s.opt_loadtransparent);
  w.WriteInteger(s.opt_loadalpha);
  w.WriteBoolean(s.opt_scaleprogress);
  w.WriteBoolean(s.opt_showerrors);
  w.WriteBoolean(s.opt_logerrors);
  w.WriteBoolean(s.opt_aborterrors);
  w.WriteInteger((s.opt_uninitzero ? 1 : 0) | (s.opt_checkargs ? 2 : 0));
  if (version >= 820) {
    w.WriteInteger(0);
    w.WriteBoolean(s.opt_createfirst);
  }
  stream.WriteStreamC(w);
}

}  // namespace tavrin
