#pragma once
// A Prompts double: records every message and beep, and answers from a script.

#include <deque>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "common/prompts.h"

namespace kq::test {

struct ShownMessage {
    std::string text;
    std::string title;
    unsigned style = 0;
    friend bool operator==(const ShownMessage&, const ShownMessage&) = default;
    friend std::ostream& operator<<(std::ostream& out, const ShownMessage& m) {
        return out << "{\"" << m.text << "\", \"" << m.title << "\", 0x" << std::hex << m.style << std::dec << "}";
    }
};

class ScriptedPrompts final : public Prompts {
public:
    int message(std::string_view text, std::string_view title, unsigned style) override {
        messages.push_back({std::string(text), std::string(title), style});
        if (answers.empty()) return mb::kIdOk;
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void beep() override { ++beeps; }

    std::vector<ShownMessage> messages;
    int beeps = 0;
    // Answers in the order the messages come; OK once they run out.
    std::deque<int> answers;
};

}  // namespace kq::test
