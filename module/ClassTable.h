#pragma once

#include "framework/com/ClassTable.h"

// The sixteen classes of this module.
Fw::ClassTable& ModuleClasses();
