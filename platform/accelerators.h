#pragma once
#include <windows.h>

#include <cstddef>

namespace stx {

// The main window's keyboard shortcuts, in table order.
extern const ACCEL kAcceleratorTable[];
extern const size_t kAcceleratorCount;

HACCEL CreateMainAccelerators();

} // namespace stx
