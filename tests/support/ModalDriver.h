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
    // Every visible static text, message included, in window order.
    std::vector<std::string> texts;
    // Ids of the visible buttons (check boxes and radio buttons too, group boxes not), in
    // window order.
    std::vector<int> buttons;
    DialogIcon icon = DialogIcon::None;
};

// The dialog in front of the user, handed to a script. Every action is what a user can
// do: one on a control that is missing, disabled or read-only fails the test and does
// nothing. Actions are synchronous, so a click that opens another modal dialog returns
// once that one has been driven and closed.
class ModalDialog {
public:
    ModalDialog(HWND dialog, DialogRecord record);

    HWND Window() const { return dialog_; }
    const DialogRecord& Record() const { return record_; }

    // Presses a button; a check box or radio button changes state as under the mouse.
    void Click(int id);
    // Replaces the text of an edit control, or of the edit inside a combo box, as if typed.
    void Type(int id, const std::string& text);
    // Clicks a check box or radio button when its state differs from `checked`.
    void Check(int id, bool checked = true);
    // Selects the item with exactly this text in a combo or list box and tells the dialog.
    void Select(int id, const std::string& item);

    std::string Text(int id) const;
    bool IsEnabled(int id) const;
    bool IsChecked(int id) const;

private:
    HWND Find(int id) const;
    HWND Usable(int id, const char* action) const;

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
