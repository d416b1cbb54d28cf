#include "framework/windows/DialogTemplate.h"

#include "foundation/Lang/Text.h"
#include "foundation/Mem/ByteLayout.h"
#include "foundation/Win32/ScopedDc.h"
#include "foundation/Win32/Unique.h"
#include "framework/com/Module.h"

#include <objbase.h>

namespace Fw {

using Mem::ReadAt;
using Mem::WriteAt;

namespace {

// Reads the template's variable part, a sequence of WORDs, and stops at its end.
class TemplateReader {
public:
    TemplateReader(std::span<const BYTE> bytes, size_t offset)
        : m_bytes(bytes)
        , m_offset(offset) {}

    bool Ok() const { return m_ok; }
    size_t Offset() const { return m_offset; }
    WORD Word() {
        if (!Skip(sizeof(WORD)))
            return 0;
        return ReadAt<WORD>(m_bytes, m_offset - sizeof(WORD));
    }
    bool Skip(size_t count) {
        // Alignment may have taken the offset past the end already.
        m_ok = m_ok && m_offset <= m_bytes.size() && count <= m_bytes.size() - m_offset;
        if (m_ok)
            m_offset += count;
        return m_ok;
    }
    // Items start on a DWORD boundary of the template.
    void AlignToDword() { m_offset = (m_offset + 3) & ~size_t(3); }
    std::wstring Text() {
        std::wstring text;
        for (WORD c = Word(); m_ok && c; c = Word())
            text.push_back(static_cast<wchar_t>(c));
        return text;
    }
    // A menu, class or title field: nothing, an ordinal or a name. Gives the name, empty
    // for the other two.
    std::wstring NameOrOrdinal() {
        const WORD first = Word();
        if (first == 0xFFFF)
            Word();
        if (first == 0 || first == 0xFFFF)
            return {};
        return static_cast<wchar_t>(first) + Text();
    }

private:
    std::span<const BYTE> m_bytes;
    size_t m_offset;
    bool m_ok = true;
};

bool IsExtended(std::span<const BYTE> bytes) {
    return bytes.size() >= 4 && ReadAt<WORD>(bytes, 0) == 1 && ReadAt<WORD>(bytes, 2) == 0xFFFF;
}

// Offsets of style, item count and x (followed by y, cx, cy) in each header form, and the
// header's fixed size.
struct HeaderLayout {
    size_t style, count, position, size;
};
constexpr HeaderLayout plainHeader = {0, 8, 10, 18}, extendedHeader = {12, 16, 18, 26};

// The same for an item: DLGITEMTEMPLATE or DLGITEMTEMPLATEEX.
struct ItemLayout {
    size_t style, position, id, size;
};
constexpr ItemLayout plainItem = {0, 8, 16, 18}, extendedItem = {8, 12, 20, 24};

// "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}" and nothing else: a class name that merely looks
// like a name must not send the lookup to the registry.
bool ReadClassId(const std::wstring& name, CLSID& clsid) {
    return name.size() == 38 && name.front() == L'{' && name.back() == L'}' &&
           SUCCEEDED(::CLSIDFromString(name.c_str(), &clsid));
}

} // namespace

std::span<const BYTE> ModuleResource(UINT id, UINT type) {
    const HINSTANCE module = Module::Current().Instance();
    const HRSRC resource = ::FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(type));
    const HGLOBAL loaded = resource ? ::LoadResource(module, resource) : nullptr;
    const auto* data = loaded ? static_cast<const BYTE*>(::LockResource(loaded)) : nullptr;
    if (!data)
        return {};
    return {data, ::SizeofResource(module, resource)};
}

std::optional<DialogTemplateInfo> ReadDialogTemplate(const std::vector<BYTE>& bytes) {
    const HeaderLayout& layout = IsExtended(bytes) ? extendedHeader : plainHeader;
    if (bytes.size() < layout.size)
        return std::nullopt;
    DialogTemplateInfo info;
    info.style = ReadAt<DWORD>(bytes, layout.style);
    info.units = {ReadAt<short>(bytes, layout.position + 4), ReadAt<short>(bytes, layout.position + 6)};
    TemplateReader reader(bytes, layout.size);
    reader.NameOrOrdinal();
    reader.NameOrOrdinal();
    info.caption = Lang::FromWide(reader.Text());
    if (info.style & DS_SETFONT) {
        info.pointSize = reader.Word();
        if (IsExtended(bytes))
            reader.Skip(4); // weight, italic, character set
        info.fontName = Lang::FromWide(reader.Text());
    }
    if (!reader.Ok())
        return std::nullopt;
    return info;
}

std::vector<BYTE> LoadDialogTemplate(UINT id) {
    const std::span<const BYTE> resource = ModuleResource(id, 5);
    return std::vector<BYTE>(resource.begin(), resource.end());
}

void MakeChildTemplate(std::vector<BYTE>& bytes) {
    const size_t offset = (IsExtended(bytes) ? extendedHeader : plainHeader).style;
    if (bytes.size() < offset + sizeof(DWORD))
        return;
    DWORD style = ReadAt<DWORD>(bytes, offset);
    style &= ~static_cast<DWORD>(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | DS_MODALFRAME |
                                 WS_VISIBLE | WS_DISABLED);
    style |= WS_CHILD | DS_CONTROL;
    WriteAt(bytes, offset, style);
}

SIZE DialogSizeInPixels(const DialogTemplateInfo& info) {
    LONG baseX = LOWORD(::GetDialogBaseUnits()), baseY = HIWORD(::GetDialogBaseUnits());
    if (!info.fontName.empty()) {
        const Win32::WindowDc screenDc(nullptr);
        const HDC screen = screenDc.get();
        const Win32::UniqueFont font(
            ::CreateFontA(-::MulDiv(info.pointSize, ::GetDeviceCaps(screen, LOGPIXELSY), 72), 0, 0, 0,
                          FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                          CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, info.fontName.c_str()));
        const Win32::SavedDcState saved(screen);
        ::SelectObject(screen, font.get());
        TEXTMETRICA metrics = {};
        SIZE letters = {};
        static const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
        if (::GetTextMetricsA(screen, &metrics) && ::GetTextExtentPoint32A(screen, alphabet, 52, &letters)) {
            baseX = (letters.cx / 26 + 1) / 2;
            baseY = metrics.tmHeight;
        }
    }
    return {::MulDiv(info.units.cx, baseX, 4), ::MulDiv(info.units.cy, baseY, 8)};
}

std::optional<DialogTemplate> DialogTemplate::Parse(std::span<const BYTE> bytes) {
    DialogTemplate parsed;
    parsed.m_extended = IsExtended(bytes);
    const HeaderLayout& header = parsed.m_extended ? extendedHeader : plainHeader;
    const ItemLayout& layout = parsed.m_extended ? extendedItem : plainItem;
    if (bytes.size() < header.size)
        return std::nullopt;
    const DWORD style = parsed.m_style = ReadAt<DWORD>(bytes, header.style);
    const WORD count = ReadAt<WORD>(bytes, header.count);

    TemplateReader reader(bytes, header.size);
    reader.NameOrOrdinal(); // menu
    reader.NameOrOrdinal(); // class
    reader.Text();          // caption
    if (style & DS_SETFONT) {
        reader.Word(); // point size
        if (parsed.m_extended)
            reader.Skip(4); // weight, italic, character set
        reader.Text();
    }
    if (!reader.Ok())
        return std::nullopt;
    parsed.m_header.assign(bytes.begin(), bytes.begin() + reader.Offset());

    for (size_t position = 0; position < count; ++position) {
        reader.AlignToDword();
        const size_t start = reader.Offset();
        reader.Skip(layout.size);
        const std::wstring className = reader.NameOrOrdinal();
        reader.NameOrOrdinal(); // title
        // The dialog manager reads the creation data's count as the bytes after the count itself.
        reader.Skip(reader.Word());
        if (!reader.Ok())
            return std::nullopt;
        const auto item = bytes.subspan(start, reader.Offset() - start);
        CLSID clsid;
        if (!ReadClassId(className, clsid)) {
            parsed.m_items.emplace_back(item.begin(), item.end());
            continue;
        }
        const short x = ReadAt<short>(item, layout.position), y = ReadAt<short>(item, layout.position + 2);
        const short cx = ReadAt<short>(item, layout.position + 4),
                    cy = ReadAt<short>(item, layout.position + 6);
        const int id = parsed.m_extended ? static_cast<int>(ReadAt<DWORD>(item, layout.id))
                                         : ReadAt<WORD>(item, layout.id);
        parsed.m_embedded.push_back(
            {id, {x, y, x + cx, y + cy}, ReadAt<DWORD>(item, layout.style), clsid, position});
    }
    return parsed;
}

std::vector<BYTE> DialogTemplate::WithoutEmbedded(DWORD style) const {
    const HeaderLayout& header = m_extended ? extendedHeader : plainHeader;
    std::vector<BYTE> bytes = m_header;
    // Whether the header holds a font is the template's to say, not the new style's.
    WriteAt(bytes, header.style, (style & ~DWORD(DS_SETFONT)) | (m_style & DS_SETFONT));
    WriteAt(bytes, header.count, static_cast<WORD>(m_items.size()));
    for (const std::vector<BYTE>& item : m_items) {
        bytes.resize((bytes.size() + 3) & ~size_t(3));
        bytes.insert(bytes.end(), item.begin(), item.end());
    }
    return bytes;
}

std::optional<std::map<int, std::vector<BYTE>>> ReadDialogInit(std::span<const BYTE> bytes) {
    constexpr size_t recordHeader = 2 * sizeof(WORD) + sizeof(DWORD);
    std::map<int, std::vector<BYTE>> data;
    size_t offset = 0;
    for (;;) {
        if (bytes.size() - offset < sizeof(WORD))
            return std::nullopt;
        const WORD id = ReadAt<WORD>(bytes, offset);
        if (id == 0)
            return data;
        if (bytes.size() - offset < recordHeader)
            return std::nullopt;
        const WORD message = ReadAt<WORD>(bytes, offset + 2);
        const DWORD length = ReadAt<DWORD>(bytes, offset + 4);
        offset += recordHeader;
        if (length > bytes.size() - offset)
            return std::nullopt;
        if (message == dialogInitControlData)
            data[id].assign(bytes.begin() + offset, bytes.begin() + offset + length);
        offset += length;
    }
}

std::optional<SIZEL> DialogExtent(UINT id) {
    const auto face = ReadDialogTemplate(LoadDialogTemplate(id));
    if (!face)
        return std::nullopt;
    const SIZE pixels = DialogSizeInPixels(*face);
    const Win32::WindowDc screen(nullptr);
    const auto himetric = [&](LONG length, int axis) {
        const int perInch = ::GetDeviceCaps(screen.get(), axis);
        return ::MulDiv(length, 2540, perInch > 0 ? perInch : 96);
    };
    return SIZEL{himetric(pixels.cx, LOGPIXELSX), himetric(pixels.cy, LOGPIXELSY)};
}

} // namespace Fw
