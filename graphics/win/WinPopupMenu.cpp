#include "graphics/win/WinPopupMenu.h"

#include "graphics/PopupMenu.h"
#include "graphics/win/WinText.h"

namespace
{
UINT NativeItemFlags(int flags)
{
    UINT native = MF_STRING;
    if (flags & PopupMenuItem::kGrayed)
        native |= MF_GRAYED;
    if (flags & PopupMenuItem::kDisabled)
        native |= MF_DISABLED;
    if (flags & PopupMenuItem::kChecked)
        native |= MF_CHECKED;
    return native;
}
} // namespace

HMENU WinBuildNativeMenu(const PopupMenu& menu, int& nextId)
{
    HMENU native = CreatePopupMenu();
    if (!native)
        return nullptr;
    const int firstId = nextId;
    nextId += menu.NumItems();
    for (int i = 0; i < menu.NumItems(); ++i)
    {
        const PopupMenuItem* item = menu.GetItem(i);
        if (item->IsSeparator())
        {
            AppendMenuW(native, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        const std::wstring label = WinWideFromUtf8(menu.ItemLabel(i).c_str());
        if (const PopupMenu* submenu = item->Submenu())
        {
            HMENU nativeSubmenu = WinBuildNativeMenu(*submenu, nextId);
            AppendMenuW(native, MF_POPUP, reinterpret_cast<UINT_PTR>(nativeSubmenu), label.c_str());
        }
        else
        {
            AppendMenuW(native, NativeItemFlags(item->Flags()), static_cast<UINT_PTR>(firstId + i),
                        label.c_str());
        }
    }
    return native;
}
