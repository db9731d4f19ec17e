#include "windows/Help_Main.h"

#include "package/Package_Sections.h"

namespace tavrin {

RGameInformation g_GameInformation;

bool RGameInformation::LoadFromStream(CStream& s) {
  *this = RGameInformation{};
  backgroundColor = s.ReadInteger();
  inGameWindow = s.ReadBoolean();
  caption = s.ReadString();
  left = s.ReadInteger();
  top = s.ReadInteger();
  width = s.ReadInteger();
  height = s.ReadInteger();
  border = s.ReadBoolean();
  sizeable = s.ReadBoolean();
  onTop = s.ReadBoolean();
  pauseGame = s.ReadBoolean();
  const CStream rtf = s.ReadStream();
  text.assign(reinterpret_cast<const char*>(rtf.Data()), rtf.Size());
  return true;
}

void RGameInformation::SaveToStream(CStream& s) const {
  s.WriteInteger(backgroundColor);
  s.WriteBoolean(inGameWindow);
  s.WriteString(caption);
  s.WriteInteger(left);
  s.WriteInteger(top);
  s.WriteInteger(width);
  s.WriteInteger(height);
  s.WriteBoolean(border);
  s.WriteBoolean(sizeable);
  s.WriteBoolean(onTop);
  s.WriteBoolean(pauseGame);
  s.WriteStream(CStream(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
}

bool Info_Load(CStream& content, RGameInformation& information) {
  if (content.ReadInteger() != kSectionVersion) return false;
  CStream record = content.ReadStreamC();
  return information.LoadFromStream(record);
}

void Info_Save(CStream& content, const RGameInformation& information) {
  content.WriteInteger(kSectionVersion);
  CStream record;
  information.SaveToStream(record);
  content.WriteStreamC(record);
}

}  // namespace tavrin
