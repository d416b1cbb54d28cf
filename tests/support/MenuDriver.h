#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

// Plays the user's part in the popup menus that code under test tracks modally on this thread
// (TrackPopupMenu): each menu is read as it is shown, then answered by the next script the test
// gave, choosing a command or dismissing the menu.
namespace TestSupport {

// A thread-local hook on the messages the menu loop sends the menu's owner. Once the menu is up
// (WM_ENTERIDLE), it is recorded and the script is played as keys posted to the owner, the way
// the loop takes the thread's keyboard input: Down until the item is selected (WM_MENUSELECT
// tells which), Right into a submenu, Return to choose, or Escape. A menu that comes when no
// script is left is recorded, fails the test and is dismissed, as is a choice of a command the
// menu does not hold or holds greyed, and a menu still open two seconds after its script. One
// driver per thread at a time.
class MenuDriver {
public:
    MenuDriver();
    // Fails the test for each script that no menu came for.
    ~MenuDriver();
    MenuDriver(const MenuDriver&) = delete;
    MenuDriver& operator=(const MenuDriver&) = delete;

    // The next menu chooses the command `id`, in a submenu or not.
    void Choose(UINT id);
    // The next menu is dismissed with Escape.
    void Dismiss();
    // Every menu driven so far, in the order they came: its texts in order, a submenu's after its
    // own in brackets and a separator as "-", each followed by " (greyed)" and " (checked)" where
    // they hold.
    const std::vector<std::vector<std::string>>& Seen() const;

    struct State;

private:
    std::unique_ptr<State> state_;
};

} // namespace TestSupport
