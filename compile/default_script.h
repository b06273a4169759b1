// The build script the program starts with, until one is stored.
#pragma once

#include <string_view>

namespace stx {

extern const std::string_view kDefaultBuildScript;

} // namespace stx
