#pragma once

#include <windows.h>

#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace Fw {

// A resource of the module, mapped for the module's life; empty when there is none.
std::span<const BYTE> ModuleResource(UINT id, UINT type);

// What a property page needs to know of its dialog template before any window exists.
struct DialogTemplateInfo {
    DWORD style = 0;
    std::string caption;
    SIZE units = {};      // the dialog's size in dialog units
    std::string fontName; // empty without DS_SETFONT
    WORD pointSize = 0;
};

// Reads a DLGTEMPLATE or DLGTEMPLATEEX; nothing when the bytes are not a whole header.
std::optional<DialogTemplateInfo> ReadDialogTemplate(const std::vector<BYTE>& bytes);
// A copy of a dialog template of the module's resources; empty when there is none.
std::vector<BYTE> LoadDialogTemplate(UINT id);
// Makes a template a borderless child, whatever style it was drawn with: a page lives
// inside the frame's window.
void MakeChildTemplate(std::vector<BYTE>& bytes);
// The dialog's size in pixels, from its font the way the dialog manager measures it.
SIZE DialogSizeInPixels(const DialogTemplateInfo& info);
// The size, in HIMETRIC, of the module's dialog `id` in its font on this screen: a host that sizes
// a control by that extent shows its whole face, whatever the font and resolution. Nothing when
// the module has no such dialog.
std::optional<SIZEL> DialogExtent(UINT id);

// An item whose window class is a class identifier in braces,
//     CONTROL "", 225, "{73E704E3-EED3-11D3-A096-00805F9B0C38}", WS_TABSTOP, 7, 7, 200, 100
// is one of the module's controls: the dialog manager knows no such window class, so the
// dialog's owner creates and embeds the control itself.
struct EmbeddedItem {
    int id;
    RECT units; // in dialog units, as MapDialogRect takes them
    DWORD style;
    CLSID clsid;
    size_t position; // its index among all the template's items, which is its place in the tab order
};

// A parsed DIALOG or DIALOGEX resource, split into the embedded items and the rest, which the
// dialog manager creates.
class DialogTemplate {
public:
    // Nothing when the bytes are not one whole template: a header or an item cut short.
    static std::optional<DialogTemplate> Parse(std::span<const BYTE> bytes);

    bool Extended() const { return m_extended; }
    DWORD Style() const { return m_style; }
    const std::vector<EmbeddedItem>& EmbeddedItems() const { return m_embedded; }
    // The template without its embedded items (the item count fixed up) and with the given
    // window style (DS_SETFONT as the template has it), for CreateDialogIndirectParam. Every
    // other item keeps its bytes and order.
    std::vector<BYTE> WithoutEmbedded(DWORD style) const;

private:
    bool m_extended = false;
    DWORD m_style = 0;
    std::vector<BYTE> m_header; // through the font
    std::vector<std::vector<BYTE>> m_items;
    std::vector<EmbeddedItem> m_embedded;
};

// The record message under which resource compilers keep an embedded control's saved state.
constexpr WORD dialogInitControlData = 0x0376;

// A dialog's initial data (resource type 240 under the dialog's id): records of a WORD control
// id, a WORD message, a DWORD length and that many bytes, ended by a WORD 0. Gives the data of
// each control-data record by control id, skipping other messages; nothing when a record runs
// past the end or the end marker is missing.
std::optional<std::map<int, std::vector<BYTE>>> ReadDialogInit(std::span<const BYTE> bytes);

} // namespace Fw
