#pragma once
// The ribbon markup as the host takes it: a resource of this module loaded
// into the system's XML document (MSXML 3.0) and serialised again by it.

#include <optional>
#include <string>
#include <string_view>

namespace kq::ribbon::win32 {

// The "XML" resource `name` as the document's `xml` text; none when the
// document refuses the bytes. Throws host::HostError or ComFailure when the
// resource or the document cannot be had at all.
std::optional<std::string> loadMarkupResource(std::string_view name);

}  // namespace kq::ribbon::win32
