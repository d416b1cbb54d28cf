#include "MenuDriver.h"

#include <gtest/gtest.h>

#include <deque>
#include <optional>

namespace TestSupport {

namespace {

constexpr DWORD kCloseGraceMs = 2000;
// The owner's timer that ends a menu its script did not close; unlikely to be the owner's own id.
constexpr UINT_PTR closeTimer = 0x4D46;

using MenuLines = std::vector<std::string>;

MenuLines readMenu(HMENU menu) {
    MenuLines lines;
    for (int position = 0; position < ::GetMenuItemCount(menu); ++position) {
        char text[256] = "";
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_SUBMENU | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = sizeof text;
        if (!::GetMenuItemInfoA(menu, UINT(position), TRUE, &info))
            ADD_FAILURE() << "MenuDriver: GetMenuItemInfo failed at " << position;
        // Wine reports separators greyed.
        if (info.fType & MFT_SEPARATOR) {
            lines.emplace_back("-");
            continue;
        }
        std::string line = text;
        if (info.hSubMenu) {
            const MenuLines inner = readMenu(info.hSubMenu);
            line += "[";
            for (size_t each = 0; each < inner.size(); ++each)
                line += (each ? ", " : "") + inner[each];
            line += "]";
        }
        line += std::string(info.fState & MFS_GRAYED ? " (greyed)" : "") +
                (info.fState & MFS_CHECKED ? " (checked)" : "");
        lines.push_back(std::move(line));
    }
    return lines;
}

// The positions that lead from `menu` to the command `id`, outermost first.
std::optional<std::vector<int>> pathTo(HMENU menu, UINT id) {
    for (int position = 0; position < ::GetMenuItemCount(menu); ++position) {
        if (HMENU submenu = ::GetSubMenu(menu, position)) {
            if (auto inner = pathTo(submenu, id)) {
                inner->insert(inner->begin(), position);
                return inner;
            }
        } else if (::GetMenuItemID(menu, position) == id &&
                   !(::GetMenuState(menu, UINT(position), MF_BYPOSITION) & MF_SEPARATOR)) {
            return std::vector<int>{position};
        }
    }
    return std::nullopt;
}

} // namespace

struct MenuDriver::State {
    // The way to the chosen command while the keys that walk it are under way.
    struct Walk {
        std::vector<HMENU> menus;
        std::vector<int> positions;
        size_t level = 0;
        int steps = 0;
    };

    HHOOK hook = nullptr;
    // The commands to choose, 0 to dismiss.
    std::deque<UINT> scripts;
    std::vector<MenuLines> seen;
    // The menu being tracked: the first popup initialised after the loop began.
    HMENU root = nullptr;
    bool driven = false;
    HWND owner = nullptr;
    std::optional<Walk> walk;

    void Press(UINT key) const { ::PostMessageA(owner, WM_KEYDOWN, key, 1); }
    void Cancel() {
        walk.reset();
        Press(VK_ESCAPE);
    }
    void Drive(HMENU menu);
    void Selected(HMENU menu, UINT item, UINT flags);
};

static void CALLBACK onCloseTimer(HWND owner, UINT, UINT_PTR timer, DWORD) {
    ::KillTimer(owner, timer);
    ADD_FAILURE() << "a menu was still open two seconds after its script; dismissed";
    ::EndMenu();
}

void MenuDriver::State::Drive(HMENU menu) {
    driven = true;
    ::SetTimer(owner, closeTimer, kCloseGraceMs, onCloseTimer);
    seen.push_back(readMenu(menu));
    if (scripts.empty()) {
        ADD_FAILURE() << "a menu no script expected: " << testing::PrintToString(seen.back());
        return Cancel();
    }
    const UINT id = scripts.front();
    scripts.pop_front();
    if (!id)
        return Cancel();
    const auto path = pathTo(menu, id);
    if (!path) {
        ADD_FAILURE() << "MenuDriver: no command " << id << " in " << testing::PrintToString(seen.back());
        return Cancel();
    }
    Walk chosen;
    chosen.positions = *path;
    chosen.menus.push_back(menu);
    for (size_t level = 0; level + 1 < path->size(); ++level)
        chosen.menus.push_back(::GetSubMenu(chosen.menus.back(), (*path)[level]));
    if (::GetMenuState(chosen.menus.back(), UINT(path->back()), MF_BYPOSITION) & (MF_GRAYED | MF_DISABLED)) {
        ADD_FAILURE() << "MenuDriver: command " << id << " is greyed";
        return Cancel();
    }
    walk = std::move(chosen);
    // Nothing is selected in a menu that has just come up: the first Down selects its first item.
    Press(VK_DOWN);
}

void MenuDriver::State::Selected(HMENU menu, UINT item, UINT flags) {
    if (!walk || menu != walk->menus[walk->level])
        return;
    // A submenu's item is told by its position, a command by its id.
    int position = (flags & MF_POPUP) ? int(item) : -1;
    for (int each = 0; position < 0 && each < ::GetMenuItemCount(menu); ++each)
        if (LOWORD(::GetMenuItemID(menu, each)) == item)
            position = each;
    if (position != walk->positions[walk->level]) {
        if (++walk->steps > 2 * ::GetMenuItemCount(menu) + 2) {
            ADD_FAILURE() << "MenuDriver: the keys never reached the chosen item";
            return Cancel();
        }
        return Press(VK_DOWN);
    }
    if (++walk->level < walk->positions.size()) {
        walk->steps = 0;
        return Press(VK_RIGHT);
    }
    walk.reset();
    Press(VK_RETURN);
}

namespace {

thread_local MenuDriver::State* current = nullptr;

LRESULT CALLBACK onMessage(int code, WPARAM wParam, LPARAM lParam) {
    const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (MenuDriver::State* state = current; state && code == HC_ACTION) {
        switch (sent->message) {
        case WM_INITMENUPOPUP:
            if (!state->root && !HIWORD(sent->lParam))
                state->root = reinterpret_cast<HMENU>(sent->wParam);
            break;
        case WM_ENTERIDLE:
            if (sent->wParam == MSGF_MENU && !state->driven) {
                HMENU menu = state->root;
                if (!menu && sent->lParam)
                    menu = reinterpret_cast<HMENU>(
                        ::SendMessageA(reinterpret_cast<HWND>(sent->lParam), MN_GETHMENU, 0, 0));
                state->owner = sent->hwnd;
                if (menu)
                    state->Drive(menu);
            }
            break;
        case WM_MENUSELECT:
            state->Selected(reinterpret_cast<HMENU>(sent->lParam), LOWORD(sent->wParam),
                            HIWORD(sent->wParam));
            break;
        case WM_EXITMENULOOP:
            ::KillTimer(state->owner, closeTimer);
            state->root = nullptr;
            state->driven = false;
            state->walk.reset();
            break;
        }
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

} // namespace

MenuDriver::MenuDriver()
    : state_(std::make_unique<State>()) {
    if (current)
        ADD_FAILURE() << "MenuDriver: another driver is already active on this thread";
    else if (!(state_->hook =
                   ::SetWindowsHookExA(WH_CALLWNDPROC, onMessage, nullptr, ::GetCurrentThreadId())))
        ADD_FAILURE() << "MenuDriver: SetWindowsHookEx failed, error " << ::GetLastError();
    else
        current = state_.get();
}

MenuDriver::~MenuDriver() {
    if (current != state_.get())
        return;
    current = nullptr;
    ::UnhookWindowsHookEx(state_->hook);
    if (!state_->scripts.empty())
        ADD_FAILURE() << state_->scripts.size() << " expected menu(s) never came";
}

void MenuDriver::Choose(UINT id) {
    state_->scripts.push_back(id);
}

void MenuDriver::Dismiss() {
    state_->scripts.push_back(0);
}

const std::vector<std::vector<std::string>>& MenuDriver::Seen() const {
    return state_->seen;
}

} // namespace TestSupport
