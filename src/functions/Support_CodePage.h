// Text files of games hold 8-bit text in the system code page (Windows-1252,
// the Western code page); the script language's strings are UTF-8. Text is
// converted on its way in and out of such files.
#pragma once

#include <string>
#include <string_view>

namespace tavrin {

// 8-bit text to UTF-8. The five bytes the code page leaves undefined become
// the control characters of the same number, so they come back unchanged.
std::string CodePage_ToUtf8(std::string_view bytes);
// UTF-8 to 8-bit text. A character the code page lacks, and a byte that is
// not UTF-8, becomes "?".
std::string CodePage_FromUtf8(std::string_view text);

}  // namespace tavrin
