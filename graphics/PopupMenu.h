#pragma once
// A popup menu as the editor describes it to the window layer: an ordered list of items,
// each possibly owning a submenu. The window layer shows it and reports back which menu the
// chosen item belongs to and its index there (SetChosenItemIndex).
//
// Command ids. A native menu needs one number per item; they are handed out from a running
// counter that starts at 0: each menu first reserves one id per item (its own items take
// consecutive ids), then its submenus are numbered in item order. FirstCommandId and
// FindByCommandId walk the tree in that same order, so the window layer can turn the id the
// system returns into (menu, index) without keeping a table.

#include <memory>
#include <string>
#include <vector>

class PopupMenu;

class PopupMenuItem
{
public:
    enum Flags : int
    {
        kNoFlags = 0,
        kGrayed = 1,
        kDisabled = 2,
        kChecked = 4,
        kSeparator = 8,
    };

    PopupMenuItem(const char* text, int flags = kNoFlags, std::unique_ptr<PopupMenu> submenu = nullptr);
    ~PopupMenuItem();
    PopupMenuItem(PopupMenuItem&&) noexcept;
    PopupMenuItem& operator=(PopupMenuItem&&) noexcept;

    const std::string& Text() const { return mText; }
    int Flags() const { return mFlags; }
    void SetChecked(bool checked) { mFlags = checked ? (mFlags | kChecked) : (mFlags & ~kChecked); }
    bool IsChecked() const { return (mFlags & kChecked) != 0; }
    bool IsSeparator() const { return (mFlags & kSeparator) != 0; }
    PopupMenu* Submenu() const { return mSubmenu.get(); }

private:
    std::string mText;
    int mFlags = kNoFlags;
    std::unique_ptr<PopupMenu> mSubmenu;
};

class PopupMenu
{
public:
    // Numbering styles: how ItemLabel prefixes an item with its position counted from 1.
    enum Numbering : int
    {
        kNoNumbers = 0,
        kOneDigit = 1,    // "%1d: %s"
        kTwoDigits = 2,   // "%02d: %s"
        kThreeDigits = 3, // "%03d: %s"
    };

    explicit PopupMenu(int numbering = kNoNumbers) : mNumbering(numbering) {}

    // Appends an item and returns it.
    PopupMenuItem& AddItem(const char* text, int flags = PopupMenuItem::kNoFlags);
    // Appends an item owning a submenu and returns the submenu.
    PopupMenu& AddSubmenu(const char* text, std::unique_ptr<PopupMenu> submenu);
    PopupMenuItem& AddSeparator();

    int NumItems() const { return static_cast<int>(mItems.size()); }
    PopupMenuItem* GetItem(int index);
    const PopupMenuItem* GetItem(int index) const;
    int Numbering() const { return mNumbering; }
    // What a native menu shows for the item: its text, or the numbered form.
    std::string ItemLabel(int index) const;

    // The chosen item (set when the menu is shown; -1 for none).
    int ChosenItemIndex() const { return mChosenIndex; }
    void SetChosenItemIndex(int index) { mChosenIndex = index; }

    // The total number of ids this menu and its submenus take.
    int CommandIdCount() const;
    // The menu holding the item with this id (ids numbered from firstId as described above),
    // with its chosen index set; none when no item has the id.
    PopupMenu* FindByCommandId(int id, int firstId = 0);
    // The id of this menu's first item when the tree is numbered from firstId, or -1 when
    // `menu` is not in this tree.
    int FirstCommandId(const PopupMenu* menu, int firstId = 0) const;

private:
    int mNumbering = kNoNumbers;
    int mChosenIndex = -1;
    std::vector<PopupMenuItem> mItems;
};
