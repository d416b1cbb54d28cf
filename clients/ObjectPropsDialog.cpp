#include "clients/ObjectPropsDialog.h"

#include "framework/com/Module.h"
#include "framework/windows/BoldFont.h"

#include <commctrl.h>

INT_PTR ObjectPropsDialog::Run(HWND control, int templateId) {
    const HWND active = ::GetActiveWindow();
    return DoModal(active ? active : control, templateId);
}

bool ObjectPropsDialog::OnInitDialog(HWND) {
    std::vector<int> ids;
    for (const Field& field : m_fields) {
        Child(field.id).SetText(field.text.c_str());
        ids.push_back(field.id);
    }
    if (m_look == Texts::bold)
        m_boldFont = Fw::SetBoldFont(m_hWnd, ids);
    Child(m_iconId).Send(STM_SETICON, reinterpret_cast<WPARAM>(m_icon.get()));
    return true;
}

Win32::UniqueIcon IconFromStrip(UINT stripId, int size, int index) {
    const Win32::UniqueImageList strip(::ImageList_LoadImageA(Fw::Module::Current().Instance(),
                                                              MAKEINTRESOURCEA(stripId), size, 0, RGB(255, 255, 255),
                                                              IMAGE_BITMAP, LR_CREATEDIBSECTION));
    if (!strip)
        return {};
    return Win32::UniqueIcon(::ImageList_GetIcon(strip.get(), index, ILD_NORMAL));
}
