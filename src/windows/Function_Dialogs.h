// The script functions of the runner's dialogs: the message dialog
// (show_message, show_question, show_message_ext, get_string, get_integer
// and the message_* settings), the pop-up menus and the choosers.
#pragma once

#include <string>

#include "script/Variable_Class.h"

namespace tavrin {

void Function_RegisterDialogs();
void Function_RegisterMenus();     // Function_Menus.cpp
void Function_RegisterChoosers();  // Function_Choosers.cpp

// A value as a dialog shows it: a string as it is, a whole real as an
// integer, any other real with two decimals (fewer when it has more than
// ten digits in all), always with "." whatever the locale.
std::string Dialog_ValueText(const RValue& value);
// The typed text of get_integer as an integer; false when it is none (or
// beyond 32 bits).
bool Dialog_ParseInteger(std::string_view text, int32_t& out);

}  // namespace tavrin
