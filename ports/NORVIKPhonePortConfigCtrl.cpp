#include "ports/NORVIKPhonePortConfigCtrl.h"

#include "foundation/Win32/ScopedDc.h"
#include "framework/windows/DialogTemplate.h"

namespace {

LONG Himetric(LONG pixels, int axis) {
    const Win32::WindowDc screen(nullptr);
    const int perInch = ::GetDeviceCaps(screen.get(), axis);
    return ::MulDiv(pixels, 2540, perInch > 0 ? perInch : 96);
}

} // namespace

// The extent is the face's size in its font on this screen: a host that sizes a new control by
// its extent then shows the whole face, whatever the font and resolution.
CNORVIKPhonePortConfigCtrl::CNORVIKPhonePortConfigCtrl() {
    if (const auto face = Fw::ReadDialogTemplate(Fw::LoadDialogTemplate(faceTemplate))) {
        const SIZE pixels = Fw::DialogSizeInPixels(*face);
        SetInitialExtent({Himetric(pixels.cx, LOGPIXELSX), Himetric(pixels.cy, LOGPIXELSY)});
    }
}

// Nothing to make: the face has no children of its own. Everything else (the face's
// initialisation, focus and activation, its background) is the composite's.
int CNORVIKPhonePortConfigCtrl::OnCreate(const CREATESTRUCTA*) {
    return 0;
}
