#include "package/Package_Load.h"

#include "package/Support_TempDir.h"
#include "platform/Platform_Trace.h"

namespace tavrin {

bool g_DebugMode = false;
RGameIdentity g_GameIdentity;

namespace {

constexpr const char* kResourceError = "Error: Error in resource data.";

// A file name from the package may only name a file inside the folder it is
// written to.
bool IsPlainFileName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
         name.find('\\') == std::string::npos;
}

}  // namespace

TLoadMessages Package_ReadContent(CStream& content, IPackageLoadListener& listener,
                                  const std::vector<RPackageSection>& sections) {
  CPictureBudget budget;
  const int32_t filler = content.ReadInteger();
  if (!content.CountFits(filler, 4)) throw CStreamError("bad filler count");
  content.Seek(content.Position() + size_t(filler) * 4);
  RGameIdentity identity;
  identity.flags = content.ReadInteger();
  identity.gameId = content.ReadInteger();
  content.Read(identity.guid.data(), identity.guid.size());
  g_GameIdentity = identity;
  for (const RPackageSection& section : sections) {
    listener.ShowProgress(section.percent, section.text);
    if (!section.read(content)) {
      if (section.failureNote) return {section.failureNote, kResourceError};
      return {kResourceError};
    }
  }
  return {};
}

TLoadMessages ReadHeader(CStream& stream, IPackageLoadListener& listener, const std::vector<RPackageSection>& sections,
                         RPackageHeader* headerOut) {
  CPictureBudget budget;  // shared by the loading pictures and the content
  RPackageHeader header;
  if (stream.ReadInteger() != kPackageVersion) return {"Error: Wrong version number."};
  header.stampDays = stream.ReadInteger();
  header.debugMode = stream.ReadBoolean();
  header.stampSeconds = stream.ReadInteger();
  try {
    if (!ReadSettings(stream, g_Settings, header.pictures, &header.settingsVersion)) return {kResourceError};
  } catch (const CStreamError&) {
    return {kResourceError};
  }
  g_DebugMode = header.debugMode;
  listener.ShowProgress(1, "Reading data");
  listener.HeaderRead(header);

  header.libraryName = stream.ReadString();
  header.library = stream.ReadStreamC();
  if (!header.libraryName.empty()) {
    if (!IsPlainFileName(header.libraryName)) return {kResourceError};
    // The graphics device here needs no helper library; the file is still
    // written out for games that look for it.
    if (!TempDir().empty()) header.library.SaveToFile(TempDir() + "/" + header.libraryName);
    WriteTrace("Runner library " + header.libraryName + " written; no loading needed on this platform");
  }
  // The content is unscrambled where it lies and read from there: the
  // package is never copied as a whole.
  stream.UnscrambleE();
  TLoadMessages messages = Package_ReadContent(stream, listener, sections);
  if (headerOut) *headerOut = std::move(header);
  return messages;
}

CStream Package_WritePayload(RPackageContent& c, const std::vector<RPackageSection>& sections, CPackRandom& random) {
  CStream out;
  out.WriteInteger(c.header.stampDays);
  out.WriteBoolean(c.header.debugMode);
  out.WriteInteger(c.header.stampSeconds);
  WriteSettings(out, c.settings, c.header.pictures, c.header.settingsVersion);
  out.WriteString(c.header.libraryName);
  out.WriteStreamC(c.header.library);

  CStream content;
  const int32_t filler = int32_t(random.Below(16));
  content.WriteInteger(filler);
  for (int32_t i = 0; i < filler; ++i) content.WriteInteger(int32_t(random.Below(268435455)));
  content.WriteInteger(c.identity.flags);
  content.WriteInteger(c.identity.gameId);
  content.Write(c.identity.guid.data(), c.identity.guid.size());
  for (const RPackageSection& section : sections) section.write(content);
  out.WriteStreamE(content, random);
  return out;
}

}  // namespace tavrin
