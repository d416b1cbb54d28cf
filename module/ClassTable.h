#pragma once

#include "framework/ClassTable.h"

// The sixteen classes of this module.
Fw::ClassTable& ModuleClasses();
