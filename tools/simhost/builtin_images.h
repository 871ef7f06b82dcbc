#pragma once
// The host's built-in images, as CommandBars.GetImageMso gives them to add-ins:
// a picture object of the asked size. simhost draws each known image from its
// name, so that two names never look alike and a transcript can tell which
// image a control shows; an unknown name or size fails as the host's does.

#include <cstdint>
#include <string>

#include "common/win32/com.h"

namespace kq::simhost {

// Throws HostError (invalid procedure call) for a name the host does not know
// or a size outside 1 to 256 pixels.
win32::Variant builtInImage(const std::string& idMso, std::int32_t width, std::int32_t height);

}  // namespace kq::simhost
