// Project files of the picture and sound kinds (sounds, sprites, backgrounds,
// fonts), and the helpers they share: resource lists walked in project order,
// PNG files, and data files named from JSON.
#pragma once

#include "Pack_Project.h"
#include "package/BM32_Bitmap.h"
#include "package/Resource_List.h"

namespace tavrin {

extern const RProjectKind kProjectSounds, kProjectSprites, kProjectBackgrounds, kProjectFonts;

// A data file named in a project file, relative to the kind's folder; it
// must be a file inside the project (Project_File).
fs::path Media_DataPath(const RProject& project, const std::string& kind, const std::string& relative,
                        const std::string& where, const char* field);
// Reads a PNG picture exactly as stored; errors name the file.
TBitmap32 Media_LoadPicture(const fs::path& path, const std::string& where);
// Writes a PNG picture (a picture without pixels cannot be one).
void Media_SavePicture(const fs::path& path, const TBitmap32& bitmap);
// Writes bytes to a file that no other resource has written yet.
void Media_SaveNewFile(const fs::path& path, const uint8_t* data, size_t size);

// A {"left", "top", "right", "bottom"} object.
nlohmann::json Media_RectToJson(int32_t left, int32_t top, int32_t right, int32_t bottom);
std::array<int32_t, 4> Media_RectFromJson(const nlohmann::json& j, const std::string& where, const char* field);

}  // namespace tavrin
