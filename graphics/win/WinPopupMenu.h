#pragma once
// Native popup menus for the editor's PopupMenu trees. Command ids follow PopupMenu's own
// numbering (each menu reserves one id per item, then its submenus follow in item order),
// so the id a chosen item reports leads back to its menu through FindByCommandId.
// [window thread]

#include <windows.h>

class PopupMenu;

// Builds the menu and its submenus; `nextId` is the running id counter (start it at 0).
// The caller destroys the result with DestroyMenu (which also destroys the submenus).
HMENU WinBuildNativeMenu(const PopupMenu& menu, int& nextId);
