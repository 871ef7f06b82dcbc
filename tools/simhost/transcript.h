#pragma once
// What a scenario run records, line by line: written out as it happens (so a
// run that hangs still shows how far it got) and, when it is to be compared at
// the end, kept. The message-box watcher writes from its own thread.

#include <cstdio>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace kq::simhost {

class Transcript {
public:
    // `out` may be null: lines are then only kept. Lines not kept can't be
    // compared, but a long run then holds none of them.
    explicit Transcript(std::FILE* out = nullptr, bool keep = true) : out_(out), keep_(keep) {}

    void line(std::string text) {
        std::lock_guard<std::mutex> lock(mutex_);
        if (out_) {
            std::fwrite(text.data(), 1, text.size(), out_);
            std::fputc('\n', out_);
            std::fflush(out_);
        }
        if (keep_) lines_.push_back(std::move(text));
    }
    std::vector<std::string> lines() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return lines_;
    }

private:
    mutable std::mutex mutex_;
    std::FILE* out_;
    bool keep_;
    std::vector<std::string> lines_;
};

// Text with its line breaks, tabs, quotes and backslashes made visible, so
// that one record stays one line: \r \n \t \" \\.
inline std::string escaped(std::string_view text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '\r': out += "\\r"; break;
            case '\n': out += "\\n"; break;
            case '\t': out += "\\t"; break;
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            default: out += c; break;
        }
    }
    return out;
}

inline std::string quoted(std::string_view text) {
    std::string out(1, '"');
    out += escaped(text);
    out += '"';
    return out;
}

}  // namespace kq::simhost
