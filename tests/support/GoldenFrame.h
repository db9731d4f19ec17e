// Frames compared with their golden pictures. A frame matches when every
// channel of every pixel is within `tolerance` of the golden one (0: exactly,
// for pictures where nothing is filtered, scaled or turned). A failure
// writes the frame as <golden>.actual.png and a picture of the differences
// (white where a pixel differs beyond the tolerance) as <golden>.diff.png in
// the test's output folder, and says how many pixels differ and the largest
// difference.
//
// With TAVRIN_UPDATE_GOLDENS=1 in the environment, a missing or different
// golden is written from the frame instead: look at it before committing it.
#pragma once

#include <filesystem>
#include <string>

namespace tavrin::test {

// "" when `frame` (a PNG file) matches `golden`; otherwise what differs.
std::string Golden_Compare(const std::filesystem::path& frame, const std::filesystem::path& golden, int tolerance,
                           const std::filesystem::path& failures);

}  // namespace tavrin::test
