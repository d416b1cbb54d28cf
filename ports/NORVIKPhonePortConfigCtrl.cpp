#include "ports/NORVIKPhonePortConfigCtrl.h"

// Nothing to make: the face has no children of its own. Everything else (the face's
// initialisation, focus and activation, its background) is the composite's.
int CNORVIKPhonePortConfigCtrl::OnCreate(const CREATESTRUCTA*) {
    return 0;
}
