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
    DialogIcon icon = DialogIcon::None;
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
