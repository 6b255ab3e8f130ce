#include "graphics/PopupMenu.h"

#include <cstdio>

PopupMenuItem::PopupMenuItem(const char* text, int flags, std::unique_ptr<PopupMenu> submenu)
    : mText(text ? text : ""),
      mFlags(flags),
      mSubmenu(std::move(submenu))
{
}

PopupMenuItem::~PopupMenuItem() = default;
PopupMenuItem::PopupMenuItem(PopupMenuItem&&) noexcept = default;
PopupMenuItem& PopupMenuItem::operator=(PopupMenuItem&&) noexcept = default;

PopupMenuItem& PopupMenu::AddItem(const char* text, int flags)
{
    mItems.emplace_back(text, flags);
    return mItems.back();
}

PopupMenu& PopupMenu::AddSubmenu(const char* text, std::unique_ptr<PopupMenu> submenu)
{
    if (!submenu)
        submenu = std::make_unique<PopupMenu>();
    mItems.emplace_back(text, PopupMenuItem::kNoFlags, std::move(submenu));
    return *mItems.back().Submenu();
}

PopupMenuItem& PopupMenu::AddSeparator()
{
    mItems.emplace_back("", PopupMenuItem::kSeparator);
    return mItems.back();
}

PopupMenuItem* PopupMenu::GetItem(int index)
{
    if (index < 0 || index >= NumItems())
        return nullptr;
    return &mItems[static_cast<size_t>(index)];
}

const PopupMenuItem* PopupMenu::GetItem(int index) const
{
    if (index < 0 || index >= NumItems())
        return nullptr;
    return &mItems[static_cast<size_t>(index)];
}

std::string PopupMenu::ItemLabel(int index) const
{
    const PopupMenuItem* item = GetItem(index);
    if (!item)
        return {};
    const char* format = nullptr;
    switch (mNumbering)
    {
        case kOneDigit: format = "%1d: %s"; break;
        case kTwoDigits: format = "%02d: %s"; break;
        case kThreeDigits: format = "%03d: %s"; break;
        default: return item->Text();
    }
    char label[512];
    std::snprintf(label, sizeof(label), format, index + 1, item->Text().c_str());
    return label;
}

int PopupMenu::CommandIdCount() const
{
    int count = NumItems();
    for (const PopupMenuItem& item : mItems)
        if (item.Submenu())
            count += item.Submenu()->CommandIdCount();
    return count;
}

PopupMenu* PopupMenu::FindByCommandId(int id, int firstId)
{
    if (id < firstId)
        return nullptr;
    if (id < firstId + NumItems())
    {
        mChosenIndex = id - firstId;
        return this;
    }
    int next = firstId + NumItems();
    for (PopupMenuItem& item : mItems)
    {
        PopupMenu* submenu = item.Submenu();
        if (!submenu)
            continue;
        if (PopupMenu* found = submenu->FindByCommandId(id, next))
            return found;
        next += submenu->CommandIdCount();
    }
    return nullptr;
}

int PopupMenu::FirstCommandId(const PopupMenu* menu, int firstId) const
{
    if (menu == this)
        return firstId;
    int next = firstId + NumItems();
    for (const PopupMenuItem& item : mItems)
    {
        const PopupMenu* submenu = item.Submenu();
        if (!submenu)
            continue;
        const int found = submenu->FirstCommandId(menu, next);
        if (found >= 0)
            return found;
        next += submenu->CommandIdCount();
    }
    return -1;
}
