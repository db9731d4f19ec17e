// The built-in functions over ini files.
#pragma once

namespace tavrin {

void Function_RegisterIni();

}  // namespace tavrin
