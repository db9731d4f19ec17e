// The script functions of the pop-up menu: show_menu and show_menu_pos.
#include "script/Code_Function.h"
#include "windows/Function_Dialogs.h"
#include "windows/Menu_Popup.h"
#include "world/Input_State.h"

namespace tavrin {

namespace {

// The chosen item, or the game's default when the menu was dismissed; the
// key or click that closed the menu is not seen by the game.
int Pop(const RValue& items, const RValue& fallback, int x, int y) {
  CPopupMenu menu(Dialog_ValueText(items));
  Menu_RunModal(menu, x, y);
  IO_ClearAll();
  return menu.Chosen() >= 0 ? menu.Chosen() : Real_ToInt32(fallback.AsReal());
}

FUNCTION_ROUTINE(F_ShowMenu) {
  int x = 0, y = 0;
  if (Platform_Installed()) {
    // The cursor's last place, in screen coordinates.
    IPlatform& platform = Platform();
    const WindowId window = platform.Mouse_LastPosition(x, y);
    int wx = 0, wy = 0, ww = 0, wh = 0;
    if (window != 0 && platform.Window_GetBounds(window, wx, wy, ww, wh)) x += wx, y += wy;
  }
  result.SetReal(Pop(a[0], a[1], x, y));
}

FUNCTION_ROUTINE(F_ShowMenuPos) {
  result.SetReal(Pop(a[2], a[3], Real_ToInt32(a[0].AsReal()), Real_ToInt32(a[1].AsReal())));
}

const RFunctionRoutine kMenuFunctions[] = {
    {"show_menu", F_ShowMenu},
    {"show_menu_pos", F_ShowMenuPos},
};

}  // namespace

void Function_RegisterMenus() { Function_ImplementTable(kMenuFunctions); }

}  // namespace tavrin
