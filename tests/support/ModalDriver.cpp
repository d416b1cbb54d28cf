#include "ModalDriver.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <deque>
#include <set>

namespace TestSupport {

namespace {

constexpr DWORD kSettleMs = 150;
constexpr DWORD kCloseGraceMs = 2000;
constexpr int kMessageId = 0xFFFF;

std::string windowText(HWND window) {
    std::string text(size_t(::GetWindowTextLengthA(window)) + 1, '\0');
    text.resize(size_t(::GetWindowTextA(window, text.data(), int(text.size()))));
    return text;
}

bool isClass(HWND window, const char* name) {
    char actual[64] = "";
    ::GetClassNameA(window, actual, sizeof actual);
    return lstrcmpiA(actual, name) == 0;
}

// The standard icons are shared handles: the one a message box shows is the one
// LoadIcon gives every caller.
DialogIcon iconOf(HICON icon) {
    const std::pair<LPCSTR, DialogIcon> standard[] = {
        {IDI_HAND, DialogIcon::Stop},
        {IDI_QUESTION, DialogIcon::Question},
        {IDI_EXCLAMATION, DialogIcon::Exclamation},
        {IDI_ASTERISK, DialogIcon::Information},
    };
    if (!icon)
        return DialogIcon::None;
    for (const auto& [name, kind] : standard)
        if (::LoadIconA(nullptr, name) == icon)
            return kind;
    return DialogIcon::Other;
}

BOOL CALLBACK collectChild(HWND child, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
    return TRUE;
}

// Children of property sheets live inside their pages, so the whole tree is walked.
std::vector<HWND> descendants(HWND dialog) {
    std::vector<HWND> found;
    ::EnumChildWindows(dialog, collectChild, reinterpret_cast<LPARAM>(&found));
    return found;
}

DialogRecord readDialog(HWND dialog) {
    DialogRecord record;
    record.caption = windowText(dialog);
    for (HWND child : descendants(dialog)) {
        const LONG style = ::GetWindowLongA(child, GWL_STYLE);
        if (!(style & WS_VISIBLE))
            continue;
        if (isClass(child, WC_STATICA)) {
            if ((style & SS_TYPEMASK) == SS_ICON)
                record.icon = iconOf(reinterpret_cast<HICON>(::SendMessageA(child, STM_GETICON, 0, 0)));
            else
                record.labels.push_back(windowText(child));
        } else if (isClass(child, WC_BUTTONA) && (style & BS_TYPEMASK) != BS_GROUPBOX) {
            record.buttons.push_back(::GetDlgCtrlID(child));
        }
    }
    if (HWND message = ::GetDlgItem(dialog, kMessageId))
        record.message = windowText(message);
    record.owner = ::GetWindow(dialog, GW_OWNER);
    return record;
}

} // namespace

// --- ModalDialog ---

ModalDialog::ModalDialog(HWND dialog, DialogRecord record)
    : dialog_(dialog)
    , record_(std::move(record)) {}

void ModalDialog::Click(int id) {
    const HWND button = ::GetDlgItem(dialog_, id);
    if (!button || !::IsWindowEnabled(button))
        ADD_FAILURE() << "Click: no enabled control " << id << " in \"" << record_.caption << "\"";
    else
        ::SendMessageA(button, BM_CLICK, 0, 0);
}

HWND ModalDialog::Control(int id) const {
    if (HWND control = ::GetDlgItem(dialog_, id))
        return control;
    ADD_FAILURE() << "no control " << id << " in \"" << record_.caption << "\"";
    return nullptr;
}

void ModalDialog::Type(int id, const std::string& text) {
    HWND edit = Control(id);
    if (!edit)
        return;
    if (isClass(edit, WC_COMBOBOXEXA)) {
        edit = reinterpret_cast<HWND>(::SendMessageA(edit, CBEM_GETEDITCONTROL, 0, 0));
    } else if (isClass(edit, WC_COMBOBOXA)) {
        COMBOBOXINFO combo{};
        combo.cbSize = sizeof combo;
        edit = ::GetComboBoxInfo(edit, &combo) ? combo.hwndItem : nullptr;
    }
    if (!edit || !isClass(edit, WC_EDITA)) {
        ADD_FAILURE() << "Type: control " << id << " has no edit";
        return;
    }
    // The first character typed replaces the whole text, as after Ctrl+A.
    ::SendMessageA(edit, EM_SETSEL, 0, -1);
    if (text.empty())
        ::SendMessageA(edit, WM_CHAR, VK_BACK, 1);
    for (const char character : text)
        ::SendMessageA(edit, WM_CHAR, WPARAM(BYTE(character)), 1);
}

void ModalDialog::Select(int id, const std::string& item) {
    const HWND combo = Control(id);
    const LRESULT index =
        combo ? ::SendMessageA(combo, CB_FINDSTRINGEXACT, WPARAM(-1), reinterpret_cast<LPARAM>(item.c_str()))
              : CB_ERR;
    if (index == CB_ERR) {
        ADD_FAILURE() << "Select: no item \"" << item << "\" in control " << id;
        return;
    }
    ::SendMessageA(combo, CB_SETCURSEL, WPARAM(index), 0);
    ::SendMessageA(::GetParent(combo), WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(combo));
}

void ModalDialog::Tick(int id, int row, bool ticked) {
    if (HWND list = Control(id)) {
        LVITEMA item{};
        item.stateMask = LVIS_STATEIMAGEMASK;
        item.state = INDEXTOSTATEIMAGEMASK(ticked ? 2 : 1);
        if (!::SendMessageA(list, LVM_SETITEMSTATE, WPARAM(row), reinterpret_cast<LPARAM>(&item)))
            ADD_FAILURE() << "Tick: no row " << row << " in control " << id;
    }
}

std::string ModalDialog::Text(int id) const {
    const HWND control = Control(id);
    return control ? windowText(control) : std::string();
}

int ModalDialog::CheckState(int id) const {
    const HWND control = Control(id);
    return control ? int(::SendMessageA(control, BM_GETCHECK, 0, 0)) : BST_UNCHECKED;
}

bool ModalDialog::Enabled(int id) const {
    const HWND control = Control(id);
    return control && ::IsWindowEnabled(control);
}

bool ModalDialog::Visible(int id) const {
    const HWND control = Control(id);
    return control && ::IsWindowVisible(control);
}

std::vector<std::string> ModalDialog::Items(int id) const {
    std::vector<std::string> items;
    const HWND combo = Control(id);
    const int count = combo ? int(::SendMessageA(combo, CB_GETCOUNT, 0, 0)) : 0;
    for (int index = 0; index < count; ++index) {
        std::string text(size_t(::SendMessageA(combo, CB_GETLBTEXTLEN, index, 0)) + 1, '\0');
        text.resize(
            size_t(::SendMessageA(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()))));
        items.push_back(std::move(text));
    }
    return items;
}

std::vector<std::string> ModalDialog::Rows(int id) const {
    std::vector<std::string> rows;
    const HWND list = Control(id);
    const int count = list ? int(::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)) : 0;
    for (int row = 0; row < count; ++row) {
        char text[256] = "";
        LVITEMA item{};
        item.pszText = text;
        item.cchTextMax = sizeof text;
        ::SendMessageA(list, LVM_GETITEMTEXTA, WPARAM(row), reinterpret_cast<LPARAM>(&item));
        const auto state = UINT(::SendMessageA(list, LVM_GETITEMSTATE, WPARAM(row), LVIS_STATEIMAGEMASK));
        rows.push_back((state == INDEXTOSTATEIMAGEMASK(2) ? "[x] " : "") + std::string(text));
    }
    return rows;
}

// --- ModalDriver ---

struct ModalDriver::State {
    HHOOK hook = nullptr;
    std::deque<Script> scripts;
    std::vector<DialogRecord> seen;
    // Dialogs already taken in hand: activation repeats when a box over one is dismissed.
    std::set<HWND> known;

    void Drive(HWND dialog);
};

namespace {

thread_local ModalDriver::State* current = nullptr;

// The driver's timers are the dialog's own, so that they go with it; their ids are unlikely
// to be a dialog's.
enum : UINT_PTR { driveTimer = 0x4D44, closedTimer = 0x4D45 };

void CALLBACK onTimer(HWND dialog, UINT, UINT_PTR timer, DWORD) {
    ::KillTimer(dialog, timer);
    if (!current)
        return;
    if (timer == driveTimer) {
        current->Drive(dialog);
    } else {
        ADD_FAILURE() << "dialog \"" << windowText(dialog) << "\" was still open after its script; cancelled";
        ::EndDialog(dialog, IDCANCEL);
    }
}

void schedule(HWND dialog, UINT_PTR timer, DWORD ms) {
    if (!::SetTimer(dialog, timer, ms, onTimer))
        ADD_FAILURE() << "ModalDriver: SetTimer failed, error " << ::GetLastError();
}

LRESULT CALLBACK onCbt(int code, WPARAM wParam, LPARAM lParam) {
    const HWND window = reinterpret_cast<HWND>(wParam);
    if (ModalDriver::State* state = current) {
        // Closing a modal dialog activates "nothing" (a null window) and then its owner. Under
        // Wine the hook also hears of other processes' boxes on the shared desktop: only this
        // thread's own are driven.
        if (code == HCBT_ACTIVATE && window && isClass(window, "#32770") &&
            ::GetWindowThreadProcessId(window, nullptr) == ::GetCurrentThreadId() &&
            state->known.insert(window).second)
            schedule(window, driveTimer, kSettleMs);
        else if (code == HCBT_DESTROYWND)
            state->known.erase(window);
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

} // namespace

void ModalDriver::State::Drive(HWND dialog) {
    DialogRecord record = readDialog(dialog);
    seen.push_back(record);
    if (scripts.empty()) {
        ADD_FAILURE() << "a dialog no script expected: \"" << record.caption << "\" " << record.message;
        ::EndDialog(dialog, IDCANCEL);
        return;
    }
    // Taken off before it runs: its clicks may open nested dialogs that need the next one.
    Script script = std::move(scripts.front());
    scripts.pop_front();
    ModalDialog handle(dialog, std::move(record));
    script(handle);
    if (::IsWindow(dialog))
        schedule(dialog, closedTimer, kCloseGraceMs);
}

ModalDriver::ModalDriver()
    : state_(std::make_unique<State>()) {
    if (current)
        ADD_FAILURE() << "ModalDriver: another driver is already active on this thread";
    else if (!(state_->hook = ::SetWindowsHookExA(WH_CBT, onCbt, nullptr, ::GetCurrentThreadId())))
        ADD_FAILURE() << "ModalDriver: SetWindowsHookEx failed, error " << ::GetLastError();
    else
        current = state_.get();
}

ModalDriver::~ModalDriver() {
    if (current != state_.get())
        return;
    current = nullptr;
    ::UnhookWindowsHookEx(state_->hook);
    for (HWND dialog : state_->known)
        for (const UINT_PTR timer : {driveTimer, closedTimer})
            ::KillTimer(dialog, timer);
    if (!state_->scripts.empty())
        ADD_FAILURE() << state_->scripts.size() << " expected dialog(s) never came";
}

void ModalDriver::Expect(Script script) {
    state_->scripts.push_back(std::move(script));
}

const std::vector<DialogRecord>& ModalDriver::Seen() const {
    return state_->seen;
}

} // namespace TestSupport
