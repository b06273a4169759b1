#pragma once

#include "view/surface.h"

#include <array>

namespace stx {

// A rectangle as left, top, right, bottom, comparable and printable in expectations.
using Box = std::array<int, 4>;
inline Box BoxOf(const Rect& r) {
    return {r.left, r.top, r.right, r.bottom};
}

} // namespace stx
