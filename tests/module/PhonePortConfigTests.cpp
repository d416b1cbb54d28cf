// The phone-port configuration control as a host finds it by ProgID and places it at the size it
// asks for: an empty face of its dialog's size, an automation surface without members, and no
// trace left in the user's registry.
#include "framework/windows/DialogTemplate.h"
#include "interfaces/OstrelUITools.h"
#include "resources/resource.h"
#include "tests/support/RegistryReader.h"
#include "tests/support/TestContainer.h"

#include <gtest/gtest.h>
#include <wrl/client.h>

#include <iterator>

using Microsoft::WRL::ComPtr;

namespace {

// The face as the module holds it, read from the registered DLL itself.
Fw::DialogTemplateInfo FaceTemplate() {
    const HMODULE module = ::GetModuleHandleA("OstrelUITools.dll");
    const HRSRC found =
        module ? ::FindResourceA(module, MAKEINTRESOURCEA(IDD_NORVIK_PHONE_PORT_CONFIG), RT_DIALOG) : nullptr;
    if (!found)
        return {};
    const auto* bytes = static_cast<const BYTE*>(::LockResource(::LoadResource(module, found)));
    return Fw::ReadDialogTemplate({bytes, bytes + ::SizeofResource(module, found)})
        .value_or(Fw::DialogTemplateInfo{});
}

LONG Pixels(LONG himetric, int axis) {
    const HDC screen = ::GetDC(nullptr);
    const int perInch = ::GetDeviceCaps(screen, axis);
    ::ReleaseDC(nullptr, screen);
    return ::MulDiv(himetric, perInch, 2540);
}

TEST(PhonePortConfig, HostPlacesAnEmptyFaceOfTheDialogsSizeThatAnswersNoMembers) {
    const auto userKeyBefore = TestSupport::snapshot(HKEY_CURRENT_USER, "Software\\Kelmar");
    {
        TestSupport::TestContainer container;
        CLSID clsid = {};
        ASSERT_EQ(S_OK, ::CLSIDFromProgID(L"Kelmar.NORVIKPhonePortConfiguration", &clsid));
        ComPtr<IOleObject> object;
        ASSERT_EQ(S_OK, ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&object)));
        // A host sizes a new control by the extent it reports.
        SIZEL extent = {};
        ASSERT_EQ(S_OK, object->GetExtent(DVASPECT_CONTENT, &extent));
        TestSupport::EmbedOptions options;
        options.rect = {0, 0, Pixels(extent.cx, LOGPIXELSX), Pixels(extent.cy, LOGPIXELSY)};
        TestSupport::ControlSite& site = container.Embed(object.Get(), options);
        ASSERT_EQ(S_OK, site.Activate());

        const HWND face = site.Window();
        ASSERT_TRUE(face);
        const Fw::DialogTemplateInfo faceTemplate = FaceTemplate();
        EXPECT_EQ(400, faceTemplate.units.cx);
        EXPECT_EQ(300, faceTemplate.units.cy);
        RECT expected = {0, 0, faceTemplate.units.cx, faceTemplate.units.cy}, client = {};
        ::MapDialogRect(face, &expected);
        ::GetClientRect(face, &client);
        EXPECT_EQ(expected.right, client.right) << "width of the face in its font";
        EXPECT_EQ(expected.bottom, client.bottom) << "height of the face in its font";
        EXPECT_EQ(nullptr, ::GetWindow(face, GW_CHILD)) << "the face has no controls";

        const ComPtr<INORVIKPhonePortConfigCtrl> control = site.Control<INORVIKPhonePortConfigCtrl>();
        ASSERT_TRUE(control);
        for (const wchar_t* name : {L"Startup", L"Shutdown", L"InitializePortCtrl"}) {
            LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
            DISPID id = 0;
            EXPECT_EQ(DISP_E_UNKNOWNNAME,
                      control->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id));
        }

        // Its event interface has no members, yet hosts that advise on it find its point.
        const ComPtr<IConnectionPointContainer> points = site.Control<IConnectionPointContainer>();
        ASSERT_TRUE(points);
        ComPtr<IConnectionPoint> point;
        EXPECT_EQ(S_OK, points->FindConnectionPoint(DIID__INORVIKPhonePortConfigCtrlEvents, &point));
        EXPECT_EQ(S_OK, points->FindConnectionPoint(IID_IPropertyNotifySink, &point));
        ComPtr<IEnumConnectionPoints> all;
        ASSERT_EQ(S_OK, points->EnumConnectionPoints(&all));
        IConnectionPoint* fetched[4] = {};
        ULONG count = 0;
        all->Next(ULONG(std::size(fetched)), fetched, &count);
        for (ULONG i = 0; i < count; ++i)
            fetched[i]->Release();
        EXPECT_EQ(2u, count) << "its events and property changes, nothing more";
    }
    EXPECT_EQ("", TestSupport::lineDiff(userKeyBefore,
                                        TestSupport::snapshot(HKEY_CURRENT_USER, "Software\\Kelmar")));
}

} // namespace
