// The host side of control tests, proved on a control small enough to read at a glance:
// a site that activates it in place, ambient properties it reads, sinks it advises, and
// the modal driver answering a message box and a dialog as a user would.
#include "framework/ComObject.h"
#include "framework/ConnectionPoint.h"
#include "tests/support/MessagePump.h"
#include "tests/support/ModalDriver.h"
#include "tests/support/EventCounter.h"
#include "tests/support/TestContainer.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using Microsoft::WRL::ComPtr;
using namespace TestSupport;

namespace {

// Activates in place as controls do, from inside DoVerb through its site, and shows a
// STATIC child saying its caption and whether the host runs or designs.
class Probe : public Fw::ObjectRoot,
              public IOleObject,
              public IOleInPlaceObject,
              public IOleControl,
              public IPersistStreamInit,
              public IQuickActivate,
              public Fw::ConnectionPoints<IPropertyNotifySink> {
public:
    static inline const Fw::InterfaceEntry interfaces[] = {
        Fw::Entry<Probe, IOleObject>(),
        Fw::Entry<Probe, IOleWindow, IOleInPlaceObject>(),
        Fw::Entry<Probe, IOleInPlaceObject>(),
        Fw::Entry<Probe, IOleControl>(),
        Fw::Entry<Probe, IPersistStreamInit>(),
        Fw::Entry<Probe, IQuickActivate>(),
        Fw::Entry<Probe, IConnectionPointContainer>(),
    };

    std::string calls; // the container's calls that order matters for
    std::string caption;
    ComPtr<IOleClientSite> site;
    HWND window = nullptr;
    HWND frameWindow = nullptr;
    bool gotDocument = false;

    bool UserMode() {
        ComPtr<IDispatch> ambient;
        VARIANT value{};
        DISPPARAMS none{};
        return site && SUCCEEDED(site.As(&ambient)) &&
               SUCCEEDED(ambient->Invoke(DISPID_AMBIENT_USERMODE, IID_NULL, 0, DISPATCH_PROPERTYGET, &none,
                                         &value, nullptr, nullptr)) &&
               value.vt == VT_BOOL && value.boolVal;
    }
    std::string Face() { return caption + (UserMode() ? " (run)" : " (design)"); }

    // IOleObject
    HRESULT STDMETHODCALLTYPE SetClientSite(IOleClientSite* pSite) override {
        calls += pSite ? "SetClientSite " : "SetClientSite(null) ";
        site = pSite;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetClientSite(IOleClientSite** ppSite) override { return site.CopyTo(ppSite); }
    HRESULT STDMETHODCALLTYPE SetHostNames(LPCOLESTR, LPCOLESTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Close(DWORD) override { return InPlaceDeactivate(); }
    HRESULT STDMETHODCALLTYPE SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE InitFromData(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetClipboardData(DWORD, IDataObject**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DoVerb(LONG verb, LPMSG, IOleClientSite*, LONG, HWND, LPCRECT) override {
        ComPtr<IOleInPlaceSite> inPlace;
        if (verb != OLEIVERB_INPLACEACTIVATE || FAILED(site.As(&inPlace)))
            return E_NOTIMPL;
        if (window)
            return S_OK;
        if (inPlace->CanInPlaceActivate() != S_OK)
            return E_FAIL;
        inPlace->OnInPlaceActivate();
        ComPtr<IOleInPlaceFrame> frame;
        ComPtr<IOleInPlaceUIWindow> document;
        RECT position, clip;
        OLEINPLACEFRAMEINFO frameInfo{};
        frameInfo.cb = sizeof frameInfo;
        HWND parent = nullptr;
        if (FAILED(inPlace->GetWindowContext(&frame, &document, &position, &clip, &frameInfo)) ||
            FAILED(inPlace->GetWindow(&parent)))
            return E_FAIL;
        frameWindow = frameInfo.hwndFrame;
        gotDocument = document != nullptr;
        window = ::CreateWindowExA(0, "STATIC", Face().c_str(), WS_CHILD | WS_VISIBLE, position.left,
                                   position.top, position.right - position.left,
                                   position.bottom - position.top, parent, nullptr, nullptr, nullptr);
        return window ? S_OK : E_FAIL;
    }
    HRESULT STDMETHODCALLTYPE EnumVerbs(IEnumOLEVERB**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Update() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE IsUpToDate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetUserClassID(CLSID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetUserType(DWORD, LPOLESTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetExtent(DWORD, SIZEL*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetExtent(DWORD, SIZEL*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Advise(IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMiscStatus(DWORD, DWORD* status) override {
        *status = OLEMISC_SETCLIENTSITEFIRST | OLEMISC_RECOMPOSEONRESIZE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }

    // IOleInPlaceObject
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* phwnd) override {
        *phwnd = window;
        return window ? S_OK : E_FAIL;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE InPlaceDeactivate() override {
        if (!window)
            return S_OK;
        ::DestroyWindow(window);
        window = nullptr;
        if (ComPtr<IOleInPlaceSite> inPlace; SUCCEEDED(site.As(&inPlace)))
            inPlace->OnInPlaceDeactivate();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE UIDeactivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetObjectRects(LPCRECT position, LPCRECT) override {
        ::MoveWindow(window, position->left, position->top, position->right - position->left,
                     position->bottom - position->top, TRUE);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ReactivateAndUndo() override { return E_NOTIMPL; }

    // IOleControl
    HRESULT STDMETHODCALLTYPE GetControlInfo(CONTROLINFO*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnMnemonic(MSG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnAmbientPropertyChange(DISPID id) override {
        if (id == DISPID_AMBIENT_USERMODE && window) {
            ::SetWindowTextA(window, Face().c_str());
            Fire<IPropertyNotifySink>([](IPropertyNotifySink* sink) { sink->OnChanged(DISPID_CAPTION); });
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE FreezeEvents(BOOL) override { return S_OK; }

    // IPersistStreamInit: the caption is the whole stream.
    HRESULT STDMETHODCALLTYPE GetClassID(CLSID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE IsDirty() override { return S_FALSE; }
    HRESULT STDMETHODCALLTYPE Load(IStream* stream) override {
        calls += "Load ";
        char buffer[64];
        ULONG read = 0;
        stream->Read(buffer, sizeof buffer, &read);
        caption.assign(buffer, read);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Save(IStream*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetSizeMax(ULARGE_INTEGER*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE InitNew() override {
        calls += "InitNew ";
        caption = "new";
        return S_OK;
    }

    // IQuickActivate
    HRESULT STDMETHODCALLTYPE QuickActivate(QACONTAINER* container, QACONTROL* control) override {
        calls += "QuickActivate ";
        site = container->pClientSite;
        return PointOf<IPropertyNotifySink>().Advise(container->pPropertyNotifySink,
                                                     &control->dwPropNotifyCookie);
    }
    HRESULT STDMETHODCALLTYPE SetContentExtent(LPSIZEL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetContentExtent(LPSIZEL) override { return E_NOTIMPL; }
};

struct ProbeObject {
    ComPtr<IUnknown> unknown;
    Probe* probe = nullptr;
    ProbeObject() {
        ComPtr<IOleObject> ole;
        EXPECT_EQ(S_OK, Fw::Object<Probe>::Create(nullptr, IID_PPV_ARGS(&ole)));
        probe = static_cast<Probe*>(ole.Get());
        unknown = ole;
    }
    size_t Sinks() { return probe->PointOf<IPropertyNotifySink>().Sinks().size(); }
};

std::string textOf(HWND window) {
    char text[128] = "";
    ::GetWindowTextA(window, text, sizeof text);
    return text;
}

RECT placeInParent(HWND window) {
    RECT rect;
    ::GetWindowRect(window, &rect);
    ::MapWindowPoints(nullptr, ::GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

bool operator==(const RECT& a, const RECT& b) {
    return ::EqualRect(&a, &b);
}

VARIANT ambient(ControlSite& site, DISPID id, HRESULT expected = S_OK) {
    ComPtr<IDispatch> properties;
    EXPECT_EQ(S_OK, site.ClientSite()->QueryInterface(IID_PPV_ARGS(&properties)));
    VARIANT value{};
    DISPPARAMS none{};
    EXPECT_EQ(expected,
              properties->Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &value, nullptr, nullptr))
        << "ambient " << id;
    return value;
}

TEST(TestContainer, ActivatesAControlInPlaceInItsFrameAndReleasesIt) {
    TestContainer container;
    ProbeObject object;
    EmbedOptions options;
    options.rect = {20, 30, 220, 90};
    ControlSite& site = container.Embed(object.unknown.Get(), options);
    EXPECT_EQ("SetClientSite InitNew ", object.probe->calls);
    EXPECT_EQ(1u, object.Sinks()) << "the site listens for property changes";

    ASSERT_EQ(S_OK, site.Activate());
    const HWND window = site.Window();
    ASSERT_TRUE(window);
    EXPECT_TRUE(site.InPlaceActive());
    EXPECT_EQ(container.Window(), ::GetParent(window));
    EXPECT_EQ(container.Window(), object.probe->frameWindow);
    EXPECT_FALSE(object.probe->gotDocument) << "a form is its own document";
    EXPECT_TRUE(placeInParent(window) == options.rect);
    EXPECT_EQ("new (run)", textOf(window));

    const RECT moved{5, 5, 105, 45};
    EXPECT_EQ(S_OK, site.SetRect(moved));
    EXPECT_TRUE(placeInParent(window) == moved);

    site.SetUserMode(false);
    EXPECT_EQ("new (design)", textOf(window));
    EXPECT_EQ(std::vector<DISPID>{DISPID_CAPTION}, site.ChangedProperties());

    EXPECT_EQ(S_OK, site.Deactivate());
    EXPECT_FALSE(::IsWindow(window));
    EXPECT_FALSE(site.InPlaceActive());

    EXPECT_EQ(S_OK, site.Close());
    EXPECT_EQ("SetClientSite InitNew SetClientSite(null) ", object.probe->calls);
    EXPECT_FALSE(object.probe->site);
    EXPECT_EQ(0u, object.Sinks());
    EXPECT_FALSE(site.Control<IOleObject>());
}

TEST(TestContainer, AnswersTheAmbientPropertiesAFormGives) {
    TestContainer container;
    ProbeObject object;
    EmbedOptions options;
    options.displayName = "PortList1";
    ControlSite& site = container.Embed(object.unknown.Get(), options);

    VARIANT font = ambient(site, DISPID_AMBIENT_FONT);
    ASSERT_EQ(VT_DISPATCH, font.vt);
    ComPtr<IFont> fontObject;
    ASSERT_EQ(S_OK, font.pdispVal->QueryInterface(IID_PPV_ARGS(&fontObject)));
    // Wine answers the face and size it realised (Liberation Sans, 11 pixels), not the
    // ones asked for: 8 points within a pixel.
    CY size{};
    EXPECT_EQ(S_OK, fontObject->get_Size(&size));
    EXPECT_NEAR(80000, double(size.int64), 7500);
    ::VariantClear(&font);

    VARIANT name = ambient(site, DISPID_AMBIENT_DISPLAYNAME);
    EXPECT_EQ(VT_BSTR, name.vt);
    EXPECT_STREQ(L"PortList1", name.bstrVal);
    ::VariantClear(&name);
    EXPECT_EQ(VT_BOOL, ambient(site, DISPID_AMBIENT_USERMODE).vt);
    EXPECT_EQ(LONG(0x0409), ambient(site, DISPID_AMBIENT_LOCALEID).lVal);
    EXPECT_EQ(LONG(0x80000000 | COLOR_WINDOW), ambient(site, DISPID_AMBIENT_BACKCOLOR).lVal);
    ambient(site, DISPID_AMBIENT_SHOWHATCHING, DISP_E_MEMBERNOTFOUND);
}

TEST(TestContainer, LoadsSavedDataBeforeTheSiteWhenTheHostDoes) {
    TestContainer container;
    ProbeObject object;
    EmbedOptions options;
    options.siteBeforeLoad = false;
    options.userMode = false;
    ASSERT_EQ(S_OK, ::CreateStreamOnHGlobal(nullptr, TRUE, &options.data));
    ASSERT_EQ(S_OK, options.data->Write("saved", 5, nullptr));
    ASSERT_EQ(S_OK, options.data->Seek({}, STREAM_SEEK_SET, nullptr));

    ControlSite& site = container.Embed(object.unknown.Get(), options);
    EXPECT_EQ("Load SetClientSite ", object.probe->calls);
    ASSERT_EQ(S_OK, site.Activate());
    EXPECT_EQ("saved (design)", textOf(site.Window()));
}

TEST(TestContainer, QuickActivationLetsTheControlAdviseTheSiteAndTheSiteUnadvises) {
    ProbeObject object;
    {
        TestContainer container;
        EmbedOptions options;
        options.quickActivate = true;
        ControlSite& site = container.Embed(object.unknown.Get(), options);
        EXPECT_TRUE(site.QuickActivated());
        EXPECT_EQ("QuickActivate InitNew ", object.probe->calls);
        ASSERT_EQ(S_OK, site.Activate());
        site.SetUserMode(false);
        EXPECT_EQ(std::vector<DISPID>{DISPID_CAPTION}, site.ChangedProperties());
    }
    EXPECT_EQ(0u, object.Sinks()) << "the container's destructor closes its sites";
    EXPECT_FALSE(object.probe->site);
    EXPECT_FALSE(object.probe->window);
}

TEST(TestContainer, AFailedEmbedGivesTheControlItsSiteBackAndKeepsNothing) {
    TestContainer container;
    ProbeObject object;
    TestSupport::EventCounter sink;
    EmbedOptions options;
    options.eventSink = &sink; // the probe has no class information to find its events by
    try {
        container.Embed(object.unknown.Get(), options);
        ADD_FAILURE() << "embedding a control whose events cannot be found succeeded";
    } catch (const std::runtime_error& failure) {
        EXPECT_STREQ("Embed: QueryInterface(IProvideClassInfo) for the event interface answered 0x80004002",
                     failure.what());
    }
    EXPECT_EQ("SetClientSite InitNew SetClientSite(null) ", object.probe->calls);
    EXPECT_EQ(0u, object.Sinks()) << "the property sink advised before the failure";
    EXPECT_FALSE(object.probe->site);
}

// Hosts put controls on a page inside their dialog: the page is the controls' parent, while
// the frame they report to is the dialog.
TEST(ControlContainer, ParentsControlsInItsHostWindowAndFramesThemInTheTopLevel) {
    TestContainer frame;
    const HWND page = ::CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 40, 40, 300, 200,
                                        frame.Window(), nullptr, nullptr, nullptr);
    ASSERT_TRUE(page);
    ProbeObject object;
    {
        Fw::ControlContainer container(page, "OstrelDemoHost");
        Fw::ControlSite& site = container.Embed(object.unknown.Get());
        EXPECT_EQ(0u, object.Sinks()) << "nobody asked to hear property changes";
        const RECT at{0, 0, 120, 60};
        ASSERT_EQ(S_OK, site.Activate(at));
        EXPECT_EQ(page, ::GetParent(site.Window()));
        EXPECT_EQ(frame.Window(), object.probe->frameWindow);
        EXPECT_TRUE(placeInParent(site.Window()) == at);
    }
    EXPECT_FALSE(object.probe->window) << "the container closes its controls when it goes";
    EXPECT_FALSE(object.probe->site);
    ::DestroyWindow(page);
}

bool timerFired = false;

void CALLBACK onTimer(HWND, UINT, UINT_PTR id, DWORD) {
    ::KillTimer(nullptr, id);
    timerFired = true;
}

TEST(MessagePump, DispatchesTimersUntilTheConditionHolds) {
    timerFired = false;
    ::SetTimer(nullptr, 0, 50, onTimer);
    EXPECT_TRUE(PumpUntil([] { return timerFired; }, 5000));
    EXPECT_FALSE(PumpUntil([] { return false; }, 30));

    timerFired = false;
    ::SetTimer(nullptr, 0, USER_TIMER_MINIMUM, onTimer);
    ::Sleep(50);
    FlushMessages();
    EXPECT_TRUE(timerFired) << "a due timer is part of what is queued";
}

TEST(ModalDriver, ReadsEachMessageBoxOnceAndAnswersIt) {
    TestContainer container;
    ModalDriver driver;
    driver.Expect([](ModalDialog& box) {
        // A box over a box: the first is activated again when the second goes, and must
        // not be driven twice.
        EXPECT_EQ(IDOK,
                  ::MessageBoxA(box.Window(), "Stop the port?", "Ports", MB_ICONQUESTION | MB_OKCANCEL));
        PumpMessages(400); // the user reads the first box again
        box.Click(IDOK);
    });
    driver.Expect([](ModalDialog& box) { box.Click(IDOK); });
    EXPECT_EQ(IDOK,
              ::MessageBoxA(container.Window(), "Port 3 is in use.", "Port Manager", MB_ICONSTOP | MB_OK));

    ASSERT_EQ(2u, driver.Seen().size());
    const DialogRecord& stop = driver.Seen()[0];
    EXPECT_EQ("Port Manager", stop.caption);
    EXPECT_EQ("Port 3 is in use.", stop.message);
    EXPECT_EQ(std::vector<std::string>{"Port 3 is in use."}, stop.texts);
    EXPECT_EQ(std::vector<int>{IDOK}, stop.buttons);
    EXPECT_EQ(DialogIcon::Stop, stop.icon);
    const DialogRecord& question = driver.Seen()[1];
    EXPECT_EQ("Stop the port?", question.message);
    EXPECT_EQ((std::vector<int>{IDOK, IDCANCEL}), question.buttons);
    EXPECT_EQ(DialogIcon::Question, question.icon);
}

TEST(ModalDriver, FailsTheTestForDialogsItDidNotExpectAndScriptsLeftOver) {
    EXPECT_NONFATAL_FAILURE(
        {
            ModalDriver driver;
            EXPECT_EQ(IDCANCEL, ::MessageBoxA(nullptr, "Surprise", "Ports", MB_OKCANCEL));
        },
        "a dialog no script expected: \"Ports\" Surprise");
    EXPECT_NONFATAL_FAILURE(
        {
            ModalDriver driver;
            driver.Expect([](ModalDialog& box) { box.Click(IDOK); });
        },
        "1 expected dialog(s) never came");
}

// A dialog from an in-memory template: an edit, a check box and a combo box.
enum : WORD { kName = 101, kDefault = 102, kSpeed = 103 };

class DialogTemplate {
public:
    DialogTemplate(const wchar_t* caption, short cx, short cy) {
        Align();
        Add<DLGTEMPLATE>(
            {WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT, 0, 0, 0, 0, cx, cy});
        words_.insert(words_.end(), {0, 0}); // no menu, the dialog class
        Text(caption);
        words_.push_back(8);
        Text(L"MS Shell Dlg");
    }
    void Item(WORD atom, WORD id, DWORD style, short x, short y, short cx, short cy, const wchar_t* text) {
        Align();
        Add<DLGITEMTEMPLATE>({WS_CHILD | WS_VISIBLE | WS_TABSTOP | style, 0, x, y, cx, cy, id});
        words_.insert(words_.end(), {0xFFFF, atom});
        Text(text);
        words_.push_back(0);
        ++reinterpret_cast<DLGTEMPLATE*>(words_.data())->cdit;
    }
    const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

private:
    template <class T>
    void Add(const T& value) {
        const size_t at = words_.size();
        words_.resize(at + (sizeof value + 1) / 2);
        std::memcpy(&words_[at], &value, sizeof value);
    }
    void Text(const wchar_t* text) { words_.insert(words_.end(), text, text + wcslen(text) + 1); }
    void Align() { words_.resize((words_.size() + 1) & ~size_t(1)); }

    std::vector<WORD> words_;
};

struct DialogAnswer {
    std::string name, speed;
    bool byDefault = false;
    int edits = 0, selections = 0;
};

INT_PTR CALLBACK settingsProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* answer = reinterpret_cast<DialogAnswer*>(::GetWindowLongPtrA(dialog, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG:
        ::SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        for (const char* speed : {"9600", "38400", "115200"})
            ::SendDlgItemMessageA(dialog, kSpeed, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(speed));
        return TRUE;
    case WM_COMMAND:
        if (!answer)
            return FALSE;
        if (HIWORD(wParam) == EN_CHANGE)
            ++answer->edits;
        else if (HIWORD(wParam) == CBN_SELCHANGE)
            ++answer->selections;
        else if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            char text[64] = "";
            ::GetDlgItemTextA(dialog, kName, text, sizeof text);
            answer->name = text;
            ::GetDlgItemTextA(dialog, kSpeed, text, sizeof text);
            answer->speed = text;
            answer->byDefault = ::IsDlgButtonChecked(dialog, kDefault) == BST_CHECKED;
            ::EndDialog(dialog, LOWORD(wParam));
        }
        return TRUE;
    }
    return FALSE;
}

TEST(ModalDriver, TypesChecksAndSelectsAsTheUserWould) {
    DialogTemplate settings(L"Port settings", 200, 100);
    settings.Item(0x0082, WORD(-1), SS_LEFT, 5, 5, 60, 10, L"Name:");
    settings.Item(0x0081, kName, WS_BORDER | ES_AUTOHSCROLL, 70, 5, 100, 12, L"COM1");
    settings.Item(0x0080, kDefault, BS_AUTOCHECKBOX, 5, 22, 100, 10, L"Default port");
    settings.Item(0x0085, kSpeed, CBS_DROPDOWNLIST | WS_VSCROLL, 5, 40, 100, 60, L"");
    settings.Item(0x0080, IDOK, BS_DEFPUSHBUTTON, 40, 80, 50, 14, L"OK");
    settings.Item(0x0080, IDCANCEL, BS_PUSHBUTTON, 100, 80, 50, 14, L"Cancel");

    TestContainer container;
    ModalDriver driver;
    driver.Expect([](ModalDialog& dialog) {
        EXPECT_EQ("COM1", dialog.Text(kName));
        dialog.Type(kName, "COM7");
        dialog.Check(kDefault);
        dialog.Select(kSpeed, "38400");
        dialog.Click(IDOK);
    });
    DialogAnswer answer;
    EXPECT_EQ(IDOK, ::DialogBoxIndirectParamA(nullptr, settings.Get(), container.Window(), settingsProc,
                                              reinterpret_cast<LPARAM>(&answer)));
    EXPECT_EQ("COM7", answer.name);
    EXPECT_TRUE(answer.byDefault);
    EXPECT_EQ("38400", answer.speed);
    EXPECT_GE(answer.edits, 1) << "typing tells the dialog";
    EXPECT_EQ(1, answer.selections);

    ASSERT_EQ(1u, driver.Seen().size());
    EXPECT_EQ("Port settings", driver.Seen()[0].caption);
    EXPECT_EQ(std::vector<std::string>{"Name:"}, driver.Seen()[0].texts);
    EXPECT_EQ((std::vector<int>{kDefault, IDOK, IDCANCEL}), driver.Seen()[0].buttons);
    EXPECT_EQ(DialogIcon::None, driver.Seen()[0].icon);
}

} // namespace
