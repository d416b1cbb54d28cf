#pragma once

#include "foundation/Win32/Unique.h"

#include <windows.h>

#include <optional>

// The transfer bar a phone in Zelkor download mode shows over one cell of its port row. It
// owns at most one progress bar window, a child of the list, destroyed with the object; the
// port list shares it per port id, so that a rebuilt row finds the bar it already has.
class ZelkorProgress {
public:
    ZelkorProgress() = default;
    ZelkorProgress(const ZelkorProgress&) = delete;
    ZelkorProgress& operator=(const ZelkorProgress&) = delete;

    // True at once when the bar exists; false when the cell has no rectangle; otherwise a
    // smooth, visible bar over the cell with the range and position given.
    bool Create(HWND list, int row, int subItem, int low, int high, int position);
    // Onto the cell's rectangle again (after a sort or a column resize), and shown.
    void Move(HWND list, int row, int subItem);
    void SetPos(int position);
    void Redraw();

    HWND Window() const { return m_bar.get(); }

private:
    static bool CellRect(HWND list, int row, int subItem, RECT& rect);

    Win32::UniqueWindow m_bar;
};

// What one boot-protocol progress event (codes 16 to 22) shows on its port's row: the Phone
// column's text (a string id) and the bar's position. Other codes show nothing.
struct ZelkorTransferStep {
    UINT phoneTextId;
    int position;

    bool operator==(const ZelkorTransferStep&) const = default;
};
std::optional<ZelkorTransferStep> ZelkorTransferStepOf(long code, short value);
