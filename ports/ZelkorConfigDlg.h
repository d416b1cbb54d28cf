#pragma once

#include "framework/windows/ListView.h"
#include "framework/windows/Window.h"
#include "resources/resource.h"

#include <windows.h>

#include <string>
#include <vector>

// A port's boot-protocol (Zelkor) settings as the device server keeps them. Construction gives
// what the dialog shows when the server cannot be asked: everything off or empty, auto reset on.
struct ZelkorSettings {
    std::string xmlFile;
    bool oneDownload = false;
    std::string dumpFolder;
    bool timestampFolders = false;
    bool autoReset = true;
    bool continueBoot = false;
    long helloResponse = 0; // 0 perform the request, 1 dump instead, 2 download instead, 3 nothing
    // With the filter on, dumps are made only of the named sections.
    bool sectionFilter = false;
    std::vector<std::string> sections;

    bool operator==(const ZelkorSettings&) const = default;
};

// The section list always has this many rows, a name is at most this long, and a row without
// a name shows twenty hyphens.
constexpr int zelkorSectionRows = 16;
constexpr int zelkorSectionNameMax = 20;
constexpr const char* zelkorEmptySectionRow = "--------------------";

// One row of the section list: its text, and its mark (1 for a name, 0 for the hyphens).
struct ZelkorSectionRow {
    std::string text;
    LPARAM mark = 0;

    bool operator==(const ZelkorSectionRow&) const = default;
};

// The sixteen rows for a list of names: the first sixteen names, then hyphen rows.
std::vector<ZelkorSectionRow> ZelkorSectionRowsOf(const std::vector<std::string>& names);
// The names the rows hold, in row order: every marked row whose text is neither empty (an
// erased name), nor longer than a name may be, nor the hyphens of a row edited without a change.
std::vector<std::string> ZelkorSectionNamesOf(const std::vector<ZelkorSectionRow>& rows);

// The section list's in-place editor: a single-line edit that keeps Enter, Esc and Tab from the
// dialog manager and hands them, and its loss of the focus, to the dialog.
class CZelkorConfigDlg;
class CZelkorSectionEdit : public Fw::WindowImpl<CZelkorSectionEdit> {
public:
    explicit CZelkorSectionEdit(CZelkorConfigDlg& owner)
        : m_owner(owner) {}

    UINT OnGetDlgCode(UINT virtualKey, const MSG* message);
    void OnKeyDown(UINT virtualKey);
    void OnKillFocus(HWND next);

    static inline const Fw::MessageEntry<CZelkorSectionEdit> messages[] = {
        Fw::OnMessage<WM_GETDLGCODE, &CZelkorSectionEdit::OnGetDlgCode>(),
        Fw::OnMessage<WM_KEYDOWN, &CZelkorSectionEdit::OnKeyDown>(),
        Fw::OnMessage<WM_KILLFOCUS, &CZelkorSectionEdit::OnKillFocus>(),
    };

private:
    CZelkorConfigDlg& m_owner;
};

// "Zelkor Configuration" (dialog 235): a port's boot-protocol settings. The caller fills
// `settings` before DoModal and reads them back after IDOK; Cancel leaves them as they were.
class CZelkorConfigDlg : public Fw::DialogImpl<CZelkorConfigDlg> {
public:
    static constexpr int dialogId = IDD_ZELKOR_CONFIG;

    CZelkorConfigDlg();
    ~CZelkorConfigDlg();
    CZelkorConfigDlg(const CZelkorConfigDlg&) = delete;
    CZelkorConfigDlg& operator=(const CZelkorConfigDlg&) = delete;

    // IDOK or IDCANCEL; -1 when the dialog could not be made.
    INT_PTR DoModal(HWND owner) { return DialogImpl::DoModal(owner, dialogId); }

    ZelkorSettings settings;
    // The dump folder goes to the server with this flag, which the views never set.
    const bool dumpFolderFlag = false;

    bool OnInitDialog(HWND focus);
    void OnOk(UINT code, UINT id, HWND control);
    void OnCancel(UINT code, UINT id, HWND control);
    void OnSectionFilterClicked(UINT code, UINT id, HWND control);
    void OnBrowseXmlFile(UINT code, UINT id, HWND control);
    void OnBrowseDumpFolder(UINT code, UINT id, HWND control);
    LRESULT OnSectionDoubleClick(NMHDR* header);

    static inline const Fw::MessageEntry<CZelkorConfigDlg> messages[] = {
        Fw::OnMessage<WM_INITDIALOG, &CZelkorConfigDlg::OnInitDialog>(),
        Fw::OnCommand<IDOK, BN_CLICKED, &CZelkorConfigDlg::OnOk>(),
        Fw::OnCommand<IDCANCEL, BN_CLICKED, &CZelkorConfigDlg::OnCancel>(),
        Fw::OnCommand<IDC_ZELKOR_SECTION_FILTER, BN_CLICKED, &CZelkorConfigDlg::OnSectionFilterClicked>(),
        Fw::OnCommand<IDC_ZELKOR_XML_BROWSE, BN_CLICKED, &CZelkorConfigDlg::OnBrowseXmlFile>(),
        Fw::OnCommand<IDC_ZELKOR_DUMP_BROWSE, BN_CLICKED, &CZelkorConfigDlg::OnBrowseDumpFolder>(),
        Fw::OnNotify<IDC_ZELKOR_SECTIONS, NM_DBLCLK, &CZelkorConfigDlg::OnSectionDoubleClick>(),
    };

private:
    friend class CZelkorSectionEdit;

    // The editor's keys and its loss of the focus, which ends an edit.
    void EditorKey(UINT virtualKey);
    void EditorLostFocus();

    Fw::ListView Sections() const { return Fw::ListView(::GetDlgItem(m_hWnd, IDC_ZELKOR_SECTIONS)); }
    void EnableSections(bool enable) const;
    void FillSections() const;
    std::vector<ZelkorSectionRow> SectionRows() const;
    std::string ItemText(int id, int room) const;
    // The path chosen in a file-open dialog with these filters, into the edit `id`.
    void BrowseInto(int id, const char* filter, const char* defaultExtension) const;

    CZelkorSectionEdit m_editor;
    bool m_editCancelled = false;
};
