#include "addin/core/res_string.h"

#include <utility>

#include "host/host.h"

namespace kq::addin {

std::string ExpandLineBreaks(std::string_view stored) {
    std::string text;
    text.reserve(stored.size());
    for (std::size_t i = 0; i < stored.size(); ++i) {
        if (stored[i] == '\\' && i + 1 < stored.size() && stored[i + 1] == 'n') {
            text += "\r\n";
            ++i;
        } else {
            text += stored[i];
        }
    }
    return text;
}

std::string StoredResString(ResourceStrings& strings, std::int32_t id) {
    std::optional<std::string> stored = strings.LoadResString(id);
    if (!stored) {
        throw host::HostError(host::err::kResourceNotFound, "Resource with identifier '" + std::to_string(id) + "' not found");
    }
    return std::move(*stored);
}

std::string LoadResStringEx(ResourceStrings& strings, std::int32_t id) { return ExpandLineBreaks(StoredResString(strings, id)); }

}  // namespace kq::addin
