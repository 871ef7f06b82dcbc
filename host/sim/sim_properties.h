#pragma once
// A workbook's custom document properties, in their order.

#include <cstdint>
#include <string>
#include <vector>

#include "host/host.h"

namespace kq::host::sim {

// Property types besides msoPropertyTypeString (4).
inline constexpr std::int32_t msoPropertyTypeNumber = 1;
inline constexpr std::int32_t msoPropertyTypeBoolean = 2;
inline constexpr std::int32_t msoPropertyTypeDate = 3;
inline constexpr std::int32_t msoPropertyTypeFloat = 5;

// The host's failure for a property that may not be added (the name is taken).
inline constexpr std::int32_t kPropertyAddFailed = err::kUnspecifiedFailure;

struct CustomProperty {
    std::string name;
    std::int32_t type = msoPropertyTypeString;
    std::string value;      // as text, whatever the type
    bool readable = true;   // false: reading the value fails, as for a damaged property
    friend bool operator==(const CustomProperty&, const CustomProperty&) = default;
};

// Names are matched exactly.
class SimProperties final : public DocumentProperties {
public:
    int Count() override;
    std::string Name(int index) override;
    std::string Value(int index) override;
    std::string ValueOf(const std::string& name) override;
    // Fails for a name already taken, a type outside 1 to 5, a link to content
    // (the simulated host has nothing to link to), a text longer than the
    // host's limit (kTextPropertyMaxLength UTF-16 characters), and while the
    // properties are locked.
    void Add(const std::string& name, bool linkToContent, std::int32_t type, const std::string& value) override;
    // Fails for a name there is none of, and while the properties are locked.
    void Delete(const std::string& name) override;

    // A workbook whose properties cannot be changed (a protected or a
    // shared workbook, say): Add and Delete fail as the host's do.
    void setLocked(bool locked) { locked_ = locked; }

    // For tests and fixtures: appends without the host's checks.
    void add(CustomProperty property) { properties_.push_back(std::move(property)); }
    const std::vector<CustomProperty>& all() const { return properties_; }
    // The property of that name, or nullptr.
    CustomProperty* find(const std::string& name);

private:
    const CustomProperty& at(int index) const;

    std::vector<CustomProperty> properties_;
    bool locked_ = false;
};

}  // namespace kq::host::sim
