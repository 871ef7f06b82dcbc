#pragma once
// The per-user settings store: string values by section and name under the
// program's key ("Software\VB and VBA Program Settings\KEZ_QUORVEX" in the
// user's registry on Windows).

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kq {

class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    // The stored text, or empty when the value (or its section) is missing or
    // cannot be read as text.
    virtual std::optional<std::string> read(std::string_view section, std::string_view name) = 0;
    // Stores the text; failures are not reported (the store is written without checks).
    virtual void write(std::string_view section, std::string_view name, std::string_view value) = 0;
};

// A store in memory, for tests and for runs without a registry. It keeps the
// order of writes so that callers' write order can be checked.
class MemorySettingsStore final : public SettingsStore {
public:
    struct Write {
        std::string section;
        std::string name;
        std::string value;
        friend bool operator==(const Write&, const Write&) = default;
    };

    std::optional<std::string> read(std::string_view section, std::string_view name) override {
        const auto it = values_.find({std::string(section), std::string(name)});
        if (it == values_.end()) return std::nullopt;
        return it->second;
    }
    void write(std::string_view section, std::string_view name, std::string_view value) override {
        values_[{std::string(section), std::string(name)}] = std::string(value);
        writes_.push_back({std::string(section), std::string(name), std::string(value)});
    }

    void set(std::string_view section, std::string_view name, std::string_view value) {
        values_[{std::string(section), std::string(name)}] = std::string(value);
    }
    const std::vector<Write>& writes() const { return writes_; }
    void clearWrites() { writes_.clear(); }

private:
    std::map<std::pair<std::string, std::string>, std::string> values_;
    std::vector<Write> writes_;
};

}  // namespace kq
