#pragma once
// Popup menus drawn by the layer, since X11 has none: each open level is an X11PopupWindow,
// submenus open to the right of their item. The pointer and the keyboard are grabbed while
// the menu runs (as a native menu's modal loop would), so the call returns only once an item
// was chosen or the menu was dismissed:
//   pointer: moving highlights (and opens submenus), releasing over an item chooses it,
//            pressing outside every level dismisses;
//   keys:    Up/Down move, Right or Return opens a submenu, Return or space chooses,
//            Left or Escape closes a level (Escape on the first level dismisses).
// Greyed, disabled and separator items cannot be chosen.
// [window thread]

#include "graphics/EditorScale.h"

#include <functional>

#include <X11/Xlib.h>

class PopupMenu;

// Shows the menu with its top-left corner at (screenX, screenY), its rows and text at the
// editor's scale. Events for other windows go to `otherEvent`. Returns the menu holding the
// chosen item (its chosen index set), or none.
PopupMenu* X11RunPopupMenu(Display* display, PopupMenu& menu, int screenX, int screenY,
                           const std::function<void(XEvent&)>& otherEvent,
                           const EditorScale& scale = EditorScale());
