#include "ports/ZelkorConfigDlg.h"

#include "foundation/Lang/Trace.h"

#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <iterator>

namespace {

// The hello response modes' texts, in value order.
constexpr UINT helloResponses[] = {IDS_ZELKOR_HELLO_PERFORM, IDS_ZELKOR_HELLO_DUMP_INSTEAD,
                                   IDS_ZELKOR_HELLO_DOWNLOAD_INSTEAD, IDS_ZELKOR_HELLO_NOTHING};

// The editor keeps one character beyond a name, so that OK can tell a name too long to send.
constexpr int editorTextRoom = zelkorSectionNameMax + 2;
// What the section list takes as a name: shorter than this, and not empty.
constexpr size_t sectionTextLimit = zelkorSectionNameMax + 2;
constexpr int pathRoom = 260;

bool Checked(HWND dialog, int id) {
    return ::IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

void Check(HWND dialog, int id, bool checked) {
    ::CheckDlgButton(dialog, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

} // namespace

std::vector<ZelkorSectionRow> ZelkorSectionRowsOf(const std::vector<std::string>& names) {
    std::vector<ZelkorSectionRow> rows(zelkorSectionRows, ZelkorSectionRow{zelkorEmptySectionRow, 0});
    const size_t named = std::min(names.size(), rows.size());
    for (size_t row = 0; row < named; ++row)
        rows[row] = {names[row], 1};
    return rows;
}

std::vector<std::string> ZelkorSectionNamesOf(const std::vector<ZelkorSectionRow>& rows) {
    std::vector<std::string> names;
    for (const ZelkorSectionRow& row : rows)
        if (row.mark == 1 && !row.text.empty() && row.text.size() < sectionTextLimit &&
            row.text != zelkorEmptySectionRow)
            names.push_back(row.text);
    return names;
}

UINT CZelkorSectionEdit::OnGetDlgCode(UINT virtualKey, const MSG* message) {
    // Enter, Esc and Tab end an edit here instead of pressing OK, Cancel or moving on.
    const LRESULT own = DefaultMessage(WM_GETDLGCODE, virtualKey, reinterpret_cast<LPARAM>(message));
    return static_cast<UINT>(own) | DLGC_WANTALLKEYS;
}

void CZelkorSectionEdit::OnKeyDown(UINT virtualKey) {
    if (virtualKey == VK_RETURN || virtualKey == VK_ESCAPE || virtualKey == VK_TAB)
        m_owner.EditorKey(virtualKey);
    else
        PassOn();
}

void CZelkorSectionEdit::OnKillFocus(HWND) {
    PassOn();
    m_owner.EditorLostFocus();
}

CZelkorConfigDlg::CZelkorConfigDlg()
    : m_editor(*this) {}

CZelkorConfigDlg::~CZelkorConfigDlg() = default;

bool CZelkorConfigDlg::OnInitDialog(HWND) {
    Check(m_hWnd, IDC_ZELKOR_ONE_DOWNLOAD, settings.oneDownload);
    Check(m_hWnd, IDC_ZELKOR_AUTO_RESET, settings.autoReset);
    Check(m_hWnd, IDC_ZELKOR_TIMESTAMP, settings.timestampFolders);
    Check(m_hWnd, IDC_ZELKOR_CONTINUE_BOOT, settings.continueBoot);
    Check(m_hWnd, IDC_ZELKOR_SECTION_FILTER, settings.sectionFilter);
    ::SetDlgItemTextA(m_hWnd, IDC_ZELKOR_XML_FILE, settings.xmlFile.c_str());
    ::SetDlgItemTextA(m_hWnd, IDC_ZELKOR_DUMP_FOLDER, settings.dumpFolder.c_str());
    EnableSections(settings.sectionFilter);

    const Fw::Window hello = Child(IDC_ZELKOR_HELLO);
    for (UINT text : helloResponses)
        hello.Send(CB_ADDSTRING, 0, Fw::Module::Current().String(text).c_str());
    hello.Send(CB_SETCURSEL, static_cast<WPARAM>(settings.helloResponse));
    Lang::Trace("GUI display default zelkor hello rsp value: %d\n", static_cast<int>(settings.helloResponse));

    const Fw::ListView sections = Sections();
    sections.SetExtendedStyle(LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    const RECT listArea = sections.ClientRect();
    sections.InsertColumn(0, "", listArea.right - ::GetSystemMetrics(SM_CXVSCROLL));
    FillSections();

    // The editor starts hidden, one row high and as wide as the column, over the first row;
    // an edit moves it onto its row without sizing it again.
    RECT row = sections.GetItemRect(0, LVIR_BOUNDS);
    row.right = row.left + sections.GetColumnWidth(0);
    ::MapWindowPoints(sections.Handle(), m_hWnd, reinterpret_cast<POINT*>(&row), 2);
    const HWND editor =
        ::CreateWindowExA(WS_EX_CLIENTEDGE, WC_EDITA, "", WS_CHILD | WS_BORDER | ES_AUTOHSCROLL, row.left,
                          row.top, row.right - row.left, row.bottom - row.top, m_hWnd, nullptr,
                          Fw::Module::Current().Instance(), nullptr);
    if (editor) {
        m_editor.Subclass(editor);
        m_editor.Send(EM_LIMITTEXT, zelkorSectionNameMax);
        m_editor.SetFont(Child(IDC_ZELKOR_XML_FILE).Font(), false);
    }
    return true;
}

void CZelkorConfigDlg::EnableSections(bool enable) const {
    Sections().Enable(enable);
    Child(IDC_ZELKOR_SECTIONS_HELP).Enable(enable);
}

void CZelkorConfigDlg::FillSections() const {
    const Fw::ListView sections = Sections();
    const std::vector<ZelkorSectionRow> rows = ZelkorSectionRowsOf(settings.sections);
    for (size_t index = 0; index < rows.size(); ++index)
        sections.InsertItem(static_cast<int>(index), rows[index].text.c_str(), rows[index].mark);
}

std::vector<ZelkorSectionRow> CZelkorConfigDlg::SectionRows() const {
    const Fw::ListView sections = Sections();
    std::vector<ZelkorSectionRow> rows;
    for (int row = 0; row < sections.GetItemCount(); ++row)
        rows.push_back({sections.GetItemText(row, 0), sections.GetItemData(row)});
    return rows;
}

std::string CZelkorConfigDlg::ItemText(int id, int room) const {
    std::string text(static_cast<size_t>(room), '\0');
    text.resize(static_cast<size_t>(::GetDlgItemTextA(m_hWnd, id, text.data(), room)));
    return text;
}

void CZelkorConfigDlg::OnOk(UINT, UINT, HWND) {
    settings.oneDownload = Checked(m_hWnd, IDC_ZELKOR_ONE_DOWNLOAD);
    settings.autoReset = Checked(m_hWnd, IDC_ZELKOR_AUTO_RESET);
    settings.timestampFolders = Checked(m_hWnd, IDC_ZELKOR_TIMESTAMP);
    settings.continueBoot = Checked(m_hWnd, IDC_ZELKOR_CONTINUE_BOOT);
    settings.sectionFilter = Checked(m_hWnd, IDC_ZELKOR_SECTION_FILTER);
    settings.sections = ZelkorSectionNamesOf(SectionRows());
    settings.xmlFile = ItemText(IDC_ZELKOR_XML_FILE, pathRoom);
    settings.dumpFolder = ItemText(IDC_ZELKOR_DUMP_FOLDER, pathRoom);
    settings.helloResponse = static_cast<long>(Child(IDC_ZELKOR_HELLO).Send(CB_GETCURSEL));
    EndDialog(IDOK);
}

void CZelkorConfigDlg::OnCancel(UINT, UINT, HWND) {
    EndDialog(IDCANCEL);
}

void CZelkorConfigDlg::OnSectionFilterClicked(UINT, UINT, HWND) {
    EnableSections(Checked(m_hWnd, IDC_ZELKOR_SECTION_FILTER));
}

LRESULT CZelkorConfigDlg::OnSectionDoubleClick(NMHDR* header) {
    const auto* click = reinterpret_cast<const NMITEMACTIVATE*>(header);
    const Fw::ListView sections = Sections();
    const int row = sections.SelectedItem();
    if (row < 0 || !m_editor)
        return 0;
    // Only a click on the selected row edits it: one below the last row selects nothing new.
    const RECT bounds = sections.GetItemRect(row, LVIR_BOUNDS);
    if (!::PtInRect(&bounds, click->ptAction))
        return 0;
    POINT at = {bounds.left, bounds.top};
    ::MapWindowPoints(sections.Handle(), m_hWnd, &at, 1);
    ::SetWindowPos(m_editor.Handle(), HWND_TOP, at.x, at.y, 0, 0, SWP_NOSIZE);
    m_editCancelled = false;
    m_editor.SetText(sections.GetItemText(row, 0).c_str());
    m_editor.Send(EM_SETSEL, 0, -1);
    m_editor.Show();
    m_editor.SetFocus();
    sections.Enable(false);
    return 0;
}

void CZelkorConfigDlg::EditorKey(UINT virtualKey) {
    if (virtualKey == VK_TAB) {
        Sections().Enable(true);
        Sections().SetFocus();
        return;
    }
    m_editCancelled = virtualKey == VK_ESCAPE;
    ::SetFocus(m_hWnd);
}

void CZelkorConfigDlg::EditorLostFocus() {
    m_editor.Show(SW_HIDE);
    const Fw::ListView sections = Sections();
    sections.Enable(true);
    const int row = sections.SelectedItem();
    if (m_editCancelled || row < 0)
        return;
    char text[editorTextRoom] = {};
    ::GetWindowTextA(m_editor.Handle(), text, sizeof text);
    sections.SetItemText(row, 0, text);
    LVITEMA mark = {};
    mark.mask = LVIF_PARAM;
    mark.iItem = row;
    mark.lParam = 1;
    sections.Send(LVM_SETITEMA, 0, &mark);
}

void CZelkorConfigDlg::BrowseInto(int id, const char* filter, const char* defaultExtension) const {
    char path[MAX_PATH] = {};
    OPENFILENAMEA open = {};
    open.lStructSize = sizeof(open);
    open.hwndOwner = m_hWnd;
    open.lpstrFilter = filter;
    open.lpstrFile = path;
    open.nMaxFile = sizeof path;
    open.lpstrDefExt = defaultExtension;
    open.Flags = OFN_HIDEREADONLY;
    if (::GetOpenFileNameA(&open))
        ::SetDlgItemTextA(m_hWnd, id, path);
}

void CZelkorConfigDlg::OnBrowseXmlFile(UINT, UINT, HWND) {
    BrowseInto(IDC_ZELKOR_XML_FILE, "XML Files (*.xml)\0*.xml\0All Files (*.*)\0*.*\0", "xml");
}

void CZelkorConfigDlg::OnBrowseDumpFolder(UINT, UINT, HWND) {
    BrowseInto(IDC_ZELKOR_DUMP_FOLDER, "DMP Files (*.dmp)\0*.dmp\0All Files (*.*)\0*.*\0", "dmp");
}
