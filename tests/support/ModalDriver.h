#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

// Plays the user's part in the dialogs and message boxes that code under test shows
// modally on this thread: each one is read as the user would see it, then answered by
// the next script the test gave.
namespace TestSupport {

// The standard icon a message box shows, told apart by its shared icon handle.
enum class DialogIcon { None, Stop, Question, Exclamation, Information, Other };

// What a dialog showed when it was driven.
struct DialogRecord {
    std::string caption;
    // The text of static 0xFFFF: a message box's message. In other dialogs that is the
    // first unnamed label, since templates give their labels the id -1.
    std::string message;
    // Ids of the visible buttons (check boxes and radio buttons too, group boxes not), in
    // window order.
    std::vector<int> buttons;
    // Texts of the visible labels (statics other than icons), in window order.
    std::vector<std::string> labels;
    DialogIcon icon = DialogIcon::None;
    // The window that owns it: a child window given as owner stands for its top-level window.
    HWND owner = nullptr;
};

// The dialog in front of the user, handed to a script. A click on a control that is missing
// or disabled fails the test and does nothing. A click is synchronous: one that opens another
// modal dialog returns once that one has been driven and closed.
class ModalDialog {
public:
    ModalDialog(HWND dialog, DialogRecord record);

    HWND Window() const { return dialog_; }
    const DialogRecord& Record() const { return record_; }

    // Presses a button; a check box or radio button changes state as under the mouse.
    void Click(int id);
    // Types `text` in place of what the edit held, one character at a time as the keyboard
    // would, so that the edit's limit and masking apply and its owner hears of each change. The
    // edit is the control's own, or the one inside a combo box or ComboBoxEx.
    void Type(int id, const std::string& text);
    // Selects the combo box item of that text and tells the dialog, as a choice from the list does.
    void Select(int id, const std::string& item);
    // Ticks or clears the check box of a list view row; the list tells its owner of the change.
    void Tick(int id, int row, bool ticked);

    // The dialog's control of that id; a missing one fails the test and gives null, which the
    // readers below answer as empty.
    HWND Control(int id) const;
    // A window's text: an edit's, a combo box's edit or selected item's, a button's or label's.
    std::string Text(int id) const;
    // BST_CHECKED, BST_UNCHECKED or BST_INDETERMINATE.
    int CheckState(int id) const;
    bool Enabled(int id) const;
    bool Visible(int id) const;
    // A combo box's items in list order.
    std::vector<std::string> Items(int id) const;
    // A list view's rows: the first column's texts, each after "[x] " where its box is ticked.
    std::vector<std::string> Rows(int id) const;

private:
    HWND dialog_;
    DialogRecord record_;
};

// A thread-local hook that catches every "#32770" window as it activates and drives it
// once, 150 ms later (not all of its children exist at activation). Scripts are used in
// the order given; a dialog that comes when none is left is recorded, fails the test and
// is cancelled, as is a dialog still open two seconds after its script. One driver per
// thread at a time.
class ModalDriver {
public:
    using Script = std::function<void(ModalDialog&)>;

    ModalDriver();
    // Fails the test for each script that no dialog came for.
    ~ModalDriver();
    ModalDriver(const ModalDriver&) = delete;
    ModalDriver& operator=(const ModalDriver&) = delete;

    void Expect(Script script);
    // Every dialog driven so far, in the order they came.
    const std::vector<DialogRecord>& Seen() const;

    struct State;

private:
    std::unique_ptr<State> state_;
};

} // namespace TestSupport
