#include "package/Package_Load.h"

#include "package/Package_Data.h"
#include "package/Support_TempDir.h"
#include "platform/Platform_Trace.h"

namespace tavrin {


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
                                  const std::vector<RPackageSection>& sections, RGameIdentity& identity) {
  CPictureBudget budget;
  const int32_t filler = content.ReadInteger();
  if (!content.CountFits(filler, 4)) throw CStreamError("bad filler count");
  content.Seek(content.Position() + size_t(filler) * 4);
  identity.flags = content.ReadInteger();
  identity.gameId = content.ReadInteger();
  content.Read(identity.guid.data(), identity.guid.size());
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
                         RPackageData& package, RPackageHeader* headerOut) {
  CPictureBudget budget;  // shared by the loading pictures and the content
  RPackageHeader header;
  if (stream.ReadInteger() != kPackageVersion) return {"Error: Wrong version number."};
  header.stampDays = stream.ReadInteger();
  header.debugMode = stream.ReadBoolean();
  header.stampSeconds = stream.ReadInteger();
  try {
    if (!ReadSettings(stream, package.settings, header.pictures, &header.settingsVersion)) return {kResourceError};
  } catch (const CStreamError&) {
    return {kResourceError};
  }
  package.debugMode = header.debugMode;
  listener.ShowProgress(1, "Reading data");
  listener.HeaderRead(header, package.settings);

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
  TLoadMessages messages = Package_ReadContent(stream, listener, sections, package.identity);
  if (headerOut) *headerOut = std::move(header);
  return messages;
}

CStream Package_WritePayload(const RPackageHeader& header, const RPackageData& package,
                             const std::vector<RPackageSection>& sections, CPackRandom& random) {
  CStream out;
  out.WriteInteger(header.stampDays);
  out.WriteBoolean(header.debugMode);
  out.WriteInteger(header.stampSeconds);
  WriteSettings(out, package.settings, header.pictures, header.settingsVersion);
  out.WriteString(header.libraryName);
  out.WriteStreamC(header.library);

  CStream content;
  const int32_t filler = int32_t(random.Below(16));
  content.WriteInteger(filler);
  for (int32_t i = 0; i < filler; ++i) content.WriteInteger(int32_t(random.Below(268435455)));
  content.WriteInteger(package.identity.flags);
  content.WriteInteger(package.identity.gameId);
  content.Write(package.identity.guid.data(), package.identity.guid.size());
  for (const RPackageSection& section : sections) section.write(content);
  out.WriteStreamE(content, random);
  return out;
}

}  // namespace tavrin
