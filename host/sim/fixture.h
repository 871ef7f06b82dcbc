#pragma once
// Workbooks as plain text that people read and write: the simulated host's
// file format, used for test fixtures and for what Save writes. The format is
// described in fixture_reader.cpp and tests/data/sim/README.md.

#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

namespace kq::host::sim {

class SimApplication;
class SimWorkbook;

// The first line of every fixture file.
inline constexpr std::string_view kFixtureMagic = "simulated-workbook 1";

// A damaged fixture: where and why.
class FixtureError : public std::runtime_error {
public:
    FixtureError(int line, const std::string& reason)
        : std::runtime_error("line " + std::to_string(line) + ": " + reason), line_(line) {}
    int line() const { return line_; }

private:
    int line_;
};

bool looksLikeFixture(std::string_view text);

// A workbook of `app` (not yet among its open workbooks) as the text
// describes it. The text is outside input: anything wrong throws FixtureError.
std::shared_ptr<SimWorkbook> readFixture(std::string_view text, const std::shared_ptr<SimApplication>& app,
                                         bool isAddin = false);

// The text that reads back as the same workbook.
std::string writeFixture(const SimWorkbook& book);

}  // namespace kq::host::sim
