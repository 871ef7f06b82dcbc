#pragma once
// A KnownFolders double that reports what the test sets.

#include <optional>
#include <string>
#include <utility>

#include "common/history_folder.h"

namespace kq::test {

class FixedKnownFolders final : public KnownFolders {
public:
    explicit FixedKnownFolders(std::optional<std::string> documentsFolder) : documents(std::move(documentsFolder)) {}
    std::optional<std::string> documentsFolder() override { return documents; }

    std::optional<std::string> documents;
};

}  // namespace kq::test
