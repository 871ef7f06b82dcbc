#pragma once
// What a scenario run records, line by line: written out as it happens (so a
// run that hangs still shows how far it got) and kept for comparing at the end.
// The message-box watcher writes from its own thread.
//
// A command started with a block of dialog commands after it ends only once
// the block has been worked through: what the command itself records is held
// back meanwhile and written after the block, while what the block's commands
// record (on the same thread, in the middle of the started command) is not.

#include <cstdio>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace kq::simhost {

class Transcript {
public:
    // `out` may be null: lines are then only kept.
    explicit Transcript(std::FILE* out = nullptr) : out_(out) {}

    void line(std::string text) {
        std::lock_guard<std::mutex> lock(mutex_);
        if (holding_ && unheld_ == 0 && std::this_thread::get_id() == holder_) {
            held_.push_back(std::move(text));
            return;
        }
        write(std::move(text));
    }
    std::vector<std::string> lines() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return lines_;
    }

    // Holds back the lines of the calling thread until release().
    void hold() {
        std::lock_guard<std::mutex> lock(mutex_);
        holding_ = true;
        holder_ = std::this_thread::get_id();
    }
    // Writes the held lines and stops holding.
    void release() {
        std::lock_guard<std::mutex> lock(mutex_);
        holding_ = false;
        for (std::string& text : held_) write(std::move(text));
        held_.clear();
    }
    // While one lives, the holding thread's lines are written at once.
    class Unheld {
    public:
        explicit Unheld(Transcript& t) : t_(t) {
            std::lock_guard<std::mutex> lock(t_.mutex_);
            ++t_.unheld_;
        }
        ~Unheld() {
            std::lock_guard<std::mutex> lock(t_.mutex_);
            --t_.unheld_;
        }
        Unheld(const Unheld&) = delete;
        Unheld& operator=(const Unheld&) = delete;

    private:
        Transcript& t_;
    };

private:
    void write(std::string text) {
        if (out_) {
            std::fwrite(text.data(), 1, text.size(), out_);
            std::fputc('\n', out_);
            std::fflush(out_);
        }
        lines_.push_back(std::move(text));
    }

    mutable std::mutex mutex_;
    std::FILE* out_;
    std::vector<std::string> lines_;
    bool holding_ = false;
    std::thread::id holder_;
    int unheld_ = 0;
    std::vector<std::string> held_;
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
