#include "framework/PropertyPage.h"

#include "foundation/Lang/Text.h"
#include "framework/Boundary.h"

#include <cstring>

namespace Fw {

namespace {

// Reads the template's variable part, a sequence of WORDs, and stops at its end.
class TemplateReader {
public:
    TemplateReader(const std::vector<BYTE>& bytes, size_t offset)
        : m_bytes(bytes)
        , m_offset(offset) {}

    bool Ok() const { return m_ok; }
    WORD Word() {
        WORD value = 0;
        if (m_offset + sizeof(WORD) > m_bytes.size()) {
            m_ok = false;
            return 0;
        }
        std::memcpy(&value, m_bytes.data() + m_offset, sizeof(WORD));
        m_offset += sizeof(WORD);
        return value;
    }
    void Skip(size_t count) { m_offset += count; }
    std::wstring Text() {
        std::wstring text;
        for (WORD c = Word(); m_ok && c; c = Word())
            text.push_back(static_cast<wchar_t>(c));
        return text;
    }
    // A menu or class field: nothing, an ordinal or a name.
    void SkipNameOrOrdinal() {
        const WORD first = Word();
        if (first == 0xFFFF)
            Word();
        else if (first != 0)
            for (WORD c = Word(); m_ok && c; c = Word()) {
            }
    }

private:
    const std::vector<BYTE>& m_bytes;
    size_t m_offset;
    bool m_ok = true;
};

template <class Value>
Value At(const std::vector<BYTE>& bytes, size_t offset) {
    Value value;
    std::memcpy(&value, bytes.data() + offset, sizeof(Value));
    return value;
}

bool IsExtended(const std::vector<BYTE>& bytes) {
    return bytes.size() >= 4 && At<WORD>(bytes, 0) == 1 && At<WORD>(bytes, 2) == 0xFFFF;
}

// Offsets of style, and of x (followed by y, cx, cy), in each header form.
constexpr size_t styleOffset = 0, extendedStyleOffset = 12;
constexpr size_t sizeOffset = 10, extendedSizeOffset = 18;

} // namespace

std::optional<DialogTemplateInfo> ReadDialogTemplate(const std::vector<BYTE>& bytes) {
    const bool extended = IsExtended(bytes);
    const size_t header = extended ? 26 : 18;
    if (bytes.size() < header)
        return std::nullopt;
    DialogTemplateInfo info;
    info.style = At<DWORD>(bytes, extended ? extendedStyleOffset : styleOffset);
    const size_t size = extended ? extendedSizeOffset : sizeOffset;
    info.units = {At<short>(bytes, size + 4), At<short>(bytes, size + 6)};
    TemplateReader reader(bytes, header);
    reader.SkipNameOrOrdinal();
    reader.SkipNameOrOrdinal();
    info.caption = Lang::FromWide(reader.Text());
    if (info.style & DS_SETFONT) {
        info.pointSize = reader.Word();
        if (extended)
            reader.Skip(4); // weight, italic, character set
        info.fontName = Lang::FromWide(reader.Text());
    }
    if (!reader.Ok())
        return std::nullopt;
    return info;
}

std::vector<BYTE> LoadDialogTemplate(UINT id) {
    const HINSTANCE module = Module::Current().Instance();
    const HRSRC resource = ::FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5));
    const HGLOBAL loaded = resource ? ::LoadResource(module, resource) : nullptr;
    const auto* data = loaded ? static_cast<const BYTE*>(::LockResource(loaded)) : nullptr;
    if (!data)
        return {};
    return std::vector<BYTE>(data, data + ::SizeofResource(module, resource));
}

void MakeChildTemplate(std::vector<BYTE>& bytes) {
    const size_t offset = IsExtended(bytes) ? extendedStyleOffset : styleOffset;
    if (bytes.size() < offset + sizeof(DWORD))
        return;
    DWORD style = At<DWORD>(bytes, offset);
    style &= ~static_cast<DWORD>(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | DS_MODALFRAME |
                                 WS_VISIBLE | WS_DISABLED);
    style |= WS_CHILD | DS_CONTROL;
    std::memcpy(bytes.data() + offset, &style, sizeof(style));
}

SIZE DialogSizeInPixels(const DialogTemplateInfo& info) {
    LONG baseX = LOWORD(::GetDialogBaseUnits()), baseY = HIWORD(::GetDialogBaseUnits());
    if (!info.fontName.empty()) {
        const HDC screen = ::GetDC(nullptr);
        const HFONT font =
            ::CreateFontA(-::MulDiv(info.pointSize, ::GetDeviceCaps(screen, LOGPIXELSY), 72), 0, 0, 0,
                          FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                          CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, info.fontName.c_str());
        const HGDIOBJ previous = ::SelectObject(screen, font);
        TEXTMETRICA metrics = {};
        SIZE letters = {};
        static const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
        if (::GetTextMetricsA(screen, &metrics) && ::GetTextExtentPoint32A(screen, alphabet, 52, &letters)) {
            baseX = (letters.cx / 26 + 1) / 2;
            baseY = metrics.tmHeight;
        }
        ::SelectObject(screen, previous);
        ::DeleteObject(font);
        ::ReleaseDC(nullptr, screen);
    }
    return {::MulDiv(info.units.cx, baseX, 4), ::MulDiv(info.units.cy, baseY, 8)};
}

HRESULT PropertyPageBase::SetPageSite(IPropertyPageSite* pPageSite) {
    m_site = pPageSite;
    return S_OK;
}

HRESULT PropertyPageBase::Activate(HWND hWndParent, LPCRECT pRect, BOOL) {
    return Boundary([&] {
        if (!pRect)
            return E_POINTER;
        if (PageWindow())
            return E_UNEXPECTED;
        std::vector<BYTE> dialogTemplate = LoadDialogTemplate(DialogId());
        if (dialogTemplate.empty())
            return HRESULT_FROM_WIN32(ERROR_RESOURCE_NAME_NOT_FOUND);
        MakeChildTemplate(dialogTemplate);
        const HWND page =
            CreatePageWindow(hWndParent, reinterpret_cast<const DLGTEMPLATE*>(dialogTemplate.data()));
        if (!page)
            return E_FAIL;
        ::MoveWindow(page, pRect->left, pRect->top, pRect->right - pRect->left, pRect->bottom - pRect->top,
                     TRUE);
        return S_OK;
    });
}

HRESULT PropertyPageBase::Deactivate() {
    DestroyPageWindow();
    return S_OK;
}

HRESULT PropertyPageBase::GetPageInfo(PROPPAGEINFO* pPageInfo) {
    return Boundary([&] {
        if (!pPageInfo)
            return E_POINTER;
        const auto info = ReadDialogTemplate(LoadDialogTemplate(DialogId()));
        if (!info)
            return E_UNEXPECTED;
        const std::wstring title = Lang::ToWide(info->caption);
        auto* copy = static_cast<LPOLESTR>(::CoTaskMemAlloc((title.size() + 1) * sizeof(wchar_t)));
        if (!copy)
            return E_OUTOFMEMORY;
        std::memcpy(copy, title.c_str(), (title.size() + 1) * sizeof(wchar_t));
        pPageInfo->cb = sizeof(PROPPAGEINFO);
        pPageInfo->pszTitle = copy;
        pPageInfo->size = DialogSizeInPixels(*info);
        pPageInfo->pszDocString = nullptr;
        pPageInfo->pszHelpFile = nullptr;
        pPageInfo->dwHelpContext = 0;
        return S_OK;
    });
}

HRESULT PropertyPageBase::SetObjects(ULONG cObjects, IUnknown** ppUnk) {
    if (cObjects && !ppUnk)
        return E_POINTER;
    m_objects.assign(ppUnk, ppUnk + cObjects);
    return S_OK;
}

HRESULT PropertyPageBase::Show(UINT nCmdShow) {
    const HWND page = PageWindow();
    if (!page)
        return E_UNEXPECTED;
    ::ShowWindow(page, static_cast<int>(nCmdShow));
    return S_OK;
}

HRESULT PropertyPageBase::Move(LPCRECT pRect) {
    const HWND page = PageWindow();
    if (!pRect)
        return E_POINTER;
    if (!page)
        return E_UNEXPECTED;
    ::MoveWindow(page, pRect->left, pRect->top, pRect->right - pRect->left, pRect->bottom - pRect->top, TRUE);
    return S_OK;
}

HRESULT PropertyPageBase::IsPageDirty() {
    return m_dirty ? S_OK : S_FALSE;
}

HRESULT PropertyPageBase::Apply() {
    return Boundary([&] {
        HRESULT first = S_OK;
        for (const auto& object : m_objects) {
            const HRESULT status = ApplyTo(object.Get());
            if (FAILED(status) && SUCCEEDED(first))
                first = status;
        }
        if (SUCCEEDED(first))
            m_dirty = false;
        return first;
    });
}

HRESULT PropertyPageBase::Help(LPCOLESTR) {
    return E_NOTIMPL;
}

HRESULT PropertyPageBase::TranslateAccelerator(MSG* pMsg) {
    const HWND page = PageWindow();
    if (!pMsg)
        return E_POINTER;
    return page && ::IsDialogMessageA(page, pMsg) ? S_OK : S_FALSE;
}

void PropertyPageBase::SetDirty(bool dirty) {
    const bool becameDirty = dirty && !m_dirty;
    m_dirty = dirty;
    if (becameDirty && m_site)
        m_site->OnStatusChange(PROPPAGESTATUS_DIRTY);
}

} // namespace Fw
