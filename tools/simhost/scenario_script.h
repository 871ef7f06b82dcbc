#pragma once
// Reading scenario scripts: lines of words, checked against the commands
// simhost knows before anything runs. The language is described in
// scenario_runner.cpp and tests/data/simhost/README.md.

#include <map>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace kq::simhost {

class ScriptError : public std::runtime_error {
public:
    ScriptError(int line, const std::string& reason)
        : std::runtime_error("line " + std::to_string(line) + ": " + reason), line_(line) {}
    int line() const { return line_; }

private:
    int line_;
};

struct ScriptLine {
    int number = 0;        // from 1
    std::string source;    // as written, for the transcript
    std::vector<std::string> words;
};

// Words separated by blanks; "double quotes" keep blanks and know the escapes
// \" \\ \t \r \n. Throws std::invalid_argument for an unclosed quote or an
// unknown escape.
std::vector<std::string> splitWords(std::string_view line);

// ${NAME} replaced by its value; an unknown name throws std::invalid_argument.
std::string substitute(std::string_view line, const std::map<std::string, std::string>& values);

// The script's commands, comments (#) and blank lines left out. Unknown
// commands and wrong numbers of words throw ScriptError.
std::vector<ScriptLine> parseScript(std::string_view text, const std::map<std::string, std::string>& values);

}  // namespace kq::simhost
