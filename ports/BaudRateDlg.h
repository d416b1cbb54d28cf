#pragma once

#include "framework/windows/Window.h"

#include <cstdint>
#include <vector>

// One rate the server knows for a port, in the server's order.
struct BaudRateEntry {
    std::uint32_t baudRate = 0;
    std::uint32_t maskBit = 0;
    bool tried = false;
};

// The baud rates the server tries on a port: one ticked row per rate.
class CBaudRateDlg : public Fw::DialogImpl<CBaudRateDlg> {
public:
    explicit CBaudRateDlg(std::vector<BaudRateEntry> entries)
        : m_entries(std::move(entries)) {}

    // IDOK or IDCANCEL; on OK each entry's tried flag is its row's tick.
    INT_PTR Run(HWND owner);
    const std::vector<BaudRateEntry>& Entries() const { return m_entries; }
    // The OR of the mask bits of the tried entries.
    std::uint32_t TriedMask() const;

    bool OnInitDialog(HWND focus);
    void OnOk(UINT, UINT, HWND);

    static inline const Fw::MessageEntry<CBaudRateDlg> messages[] = {
        Fw::OnMessage<WM_INITDIALOG, &CBaudRateDlg::OnInitDialog>(),
        Fw::OnCommand<IDOK, &CBaudRateDlg::OnOk>(),
    };

private:
    std::vector<BaudRateEntry> m_entries;
};
