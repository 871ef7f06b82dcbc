#include "host/sim/sim_properties.h"

#include <algorithm>

#include "common/text_codec.h"

namespace kq::host::sim {

int SimProperties::Count() { return static_cast<int>(properties_.size()); }

std::string SimProperties::Name(int index) { return at(index).name; }

std::string SimProperties::Value(int index) {
    const CustomProperty& p = at(index);
    if (!p.readable) throw HostError(err::kTypeMismatch, "The value of property '" + p.name + "' cannot be read");
    return p.value;
}

std::string SimProperties::ValueOf(const std::string& name) {
    const CustomProperty* p = find(name);
    if (!p) throw HostError(err::kInvalidCall, "There is no property named '" + name + "'");
    if (!p->readable) throw HostError(err::kTypeMismatch, "The value of property '" + name + "' cannot be read");
    return p->value;
}

void SimProperties::Add(const std::string& name, bool linkToContent, std::int32_t type, const std::string& value) {
    if (locked_ || name.empty() || find(name) || linkToContent || type < msoPropertyTypeNumber ||
        type > msoPropertyTypeFloat) {
        throw HostError(kPropertyAddFailed, "The property cannot be added");
    }
    if (type == msoPropertyTypeString && utf8ToUtf16(value).size() > kTextPropertyMaxLength) {
        throw HostError(kPropertyAddFailed, "The property cannot be added: its text is too long");
    }
    properties_.push_back({name, type, value, true});
}

void SimProperties::Delete(const std::string& name) {
    if (locked_) throw HostError(kPropertyAddFailed, "The property cannot be deleted");
    const auto it = std::find_if(properties_.begin(), properties_.end(),
                                 [&](const CustomProperty& p) { return p.name == name; });
    if (it == properties_.end()) throw HostError(err::kInvalidCall, "There is no property named '" + name + "'");
    properties_.erase(it);
}

CustomProperty* SimProperties::find(const std::string& name) {
    const auto it = std::find_if(properties_.begin(), properties_.end(),
                                 [&](const CustomProperty& p) { return p.name == name; });
    return it == properties_.end() ? nullptr : &*it;
}

const CustomProperty& SimProperties::at(int index) const {
    if (index < 1 || index > static_cast<int>(properties_.size())) {
        throw HostError(err::kSubscriptOutOfRange, "Subscript out of range");
    }
    return properties_[static_cast<std::size_t>(index - 1)];
}

}  // namespace kq::host::sim
