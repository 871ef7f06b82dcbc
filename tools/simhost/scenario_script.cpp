#include "tools/simhost/scenario_script.h"

#include "tools/simhost/box_watcher.h"

#include <initializer_list>

namespace kq::simhost {

namespace {

struct CommandShape {
    const char* name;
    int least;
    int most;  // -1: any number
};

constexpr CommandShape kCommands[] = {
    {"version", 1, 1},  {"path", 1, 1},   {"hinstance", 1, 1},    {"caption", 1, 1}, {"user", 1, 1},
    {"printer", 1, 1},  {"register", 1, 1}, {"unregister", 1, 1}, {"load", 0, 0},    {"open", 1, 2},
    {"new", 0, 0},      {"book", 1, 1},   {"sheet", 1, 1},        {"group", 1, -1},  {"select", 1, 1},
    {"select-shape", 0, 0}, {"input", 1, 1}, {"control", 2, 2},   {"macro", 3, 3},   {"call", 2, -1},
    {"expect", 1, 2},   {"print", 0, 1},  {"ontime", 0, 0},       {"save", 0, 1},    {"close", 0, 1},
    {"box", 1, -1},     {"idle", 0, 1},   {"show", 1, 2},         {"echo", 0, -1},   {"quit", 0, 0},
    {"timeout", 1, 1},  {"regset", 3, 3}, {"regdelete", 1, 1},    {"run", 1, 1},     {"open-resource", 4, 4},
    {"click", 1, 2},    {"barset", 3, 3}, {"clip", 1, 1},
    {"print-hook", 2, 2}, {"windowstate", 1, 1}, {"refuse-open", 1, 1}, {"press", 1, 1}, {"builtin", 1, 1},
    {"time", 1, -1},    {"copies", 1, 1}, {"program-window", 1, 2},
    {"start", 1, -1},   {"end", 0, 0},    {"dialog", 1, 1},       {"type", 2, 2},    {"paste", 2, 2},
    {"tick", 1, 1},     {"untick", 1, 1}, {"pick", 2, 2},         {"key", 1, -1},
    {"close-dialog", 0, 0}, {"screenshot", 1, 1},
    {"print-hook", 2, 2}, {"windowstate", 1, 1}, {"refuse-open", 1, 1},
};

bool oneOf(const std::string& word, std::initializer_list<const char*> words) {
    for (const char* known : words) {
        if (word == known) return true;
    }
    return false;
}

// Lines that act on a dialog, which only a started command shows. `press` is
// both: between start and end it presses a dialog's button, elsewhere a ribbon
// control (which may itself be started, when it opens a dialog).
constexpr const char* kBlockOnly[] = {"dialog", "type", "paste", "tick", "untick", "pick",
                                      "key", "close-dialog", "screenshot"};

bool blockOnly(const std::vector<std::string>& words) {
    if (words.front() == "show") return words.size() > 1 && words[1] == "dialog";
    for (const char* command : kBlockOnly) {
        if (words.front() == command) return true;
    }
    return false;
}

void checkShape(const ScriptLine& line);

// start <command>: the command is checked as a line of its own.
void checkStarted(const ScriptLine& line) {
    ScriptLine started = line;
    started.words.erase(started.words.begin());
    const std::string& command = started.words.front();
    if (command == "start" || command == "end" || blockOnly(started.words)) {
        throw ScriptError(line.number, "start takes a command that may show a dialog, not " + command);
    }
    checkShape(started);
}

// Every start has its end, with no start between; dialog lines stand only between them.
void checkBlocks(const std::vector<ScriptLine>& script) {
    const ScriptLine* open = nullptr;
    for (const ScriptLine& line : script) {
        const std::string& command = line.words.front();
        if (command == "start") {
            if (open) throw ScriptError(line.number, "a start inside the block of line " + std::to_string(open->number));
            open = &line;
        } else if (command == "end") {
            if (!open) throw ScriptError(line.number, "end without start");
            open = nullptr;
        } else if (!open && blockOnly(line.words)) {
            throw ScriptError(line.number, command + " acts on a dialog: it belongs between start and end");
        }
    }
    if (open) throw ScriptError(open->number, "start without end");
}

constexpr const char* kShows[] = {"properties", "statusbar", "workbooks", "ontime",     "addins",
                                  "sheets",     "registry",  "registration", "files",   "temp",
                                  "histories",  "bars",      "controls",  "clipboard", "memory",
                                  "ribbon",     "unload",     "windows",   "dialog"};

void checkShape(const ScriptLine& line) {
    const std::string& command = line.words.front();
    const int given = static_cast<int>(line.words.size()) - 1;
    if (command == "start" && given > 0) {
        checkStarted(line);
        return;
    }
    for (const auto& shape : kCommands) {
        if (command != shape.name) continue;
        if (given < shape.least || (shape.most >= 0 && given > shape.most)) {
            throw ScriptError(line.number, "wrong number of words for " + command);
        }
        if (command == "box") {
            for (int i = 1; i <= given; ++i) {
                if (!isBoxAction(line.words[i])) throw ScriptError(line.number, "unknown answer " + line.words[i]);
            }
        }
        if (command == "show") {
            bool known = false;
            for (const char* what : kShows) known = known || line.words[1] == what;
            if (!known) throw ScriptError(line.number, "nothing called " + line.words[1] + " to show");
            if (oneOf(line.words[1], {"registry", "registration", "files", "temp", "histories", "controls", "unload",
                                      "windows"}) &&
                given != 2) {
                throw ScriptError(line.number, "show " + line.words[1] + " names what to show");
            }
        }
        if (command == "time") {
            // What is timed is checked as a command of its own.
            ScriptLine timed = line;
            timed.words.erase(timed.words.begin());
            checkShape(timed);
        }
        if (command == "copies" && line.words[1] != "keep" && line.words[1] != "replay") {
            throw ScriptError(line.number, "copies are kept or replayed");
        }
        if (command == "control" && line.words[2] != "on" && line.words[2] != "off") {
            throw ScriptError(line.number, "a control is on or off");
        }
        if (command == "print" && given == 1 && !oneOf(line.words[1], {"print", "quick", "preview", "macro"})) {
            throw ScriptError(line.number, "print by print, quick, preview or macro");
        }
        if (command == "windowstate" && !oneOf(line.words[1], {"maximized", "minimized", "normal"})) {
            throw ScriptError(line.number, "a window is maximized, minimized or normal");
        }
        if (command == "open" && given == 2 && line.words[2] != "readonly") {
            throw ScriptError(line.number, "open takes a fixture and maybe readonly");
        }
        return;
    }
    throw ScriptError(line.number, "unknown command " + command);
}

bool isCommentOrBlank(std::string_view line) {
    const std::size_t first = line.find_first_not_of(" \t\r");
    return first == std::string_view::npos || line[first] == '#';
}

}  // namespace

std::vector<std::string> splitWords(std::string_view line) {
    std::vector<std::string> words;
    std::size_t i = 0;
    while (i < line.size()) {
        if (line[i] == ' ' || line[i] == '\t' || line[i] == '\r') {
            ++i;
            continue;
        }
        std::string word;
        if (line[i] == '"') {
            ++i;
            bool closed = false;
            while (i < line.size()) {
                const char c = line[i++];
                if (c == '"') {
                    closed = true;
                    break;
                }
                if (c != '\\') {
                    word += c;
                    continue;
                }
                if (i == line.size()) break;
                switch (line[i++]) {
                    case '"': word += '"'; break;
                    case '\\': word += '\\'; break;
                    case 't': word += '\t'; break;
                    case 'r': word += '\r'; break;
                    case 'n': word += '\n'; break;
                    default: throw std::invalid_argument("unknown escape in quotes");
                }
            }
            if (!closed) throw std::invalid_argument("quotes not closed");
        } else {
            while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') word += line[i++];
        }
        words.push_back(std::move(word));
    }
    return words;
}

std::string substitute(std::string_view line, const std::map<std::string, std::string>& values) {
    std::string out;
    std::size_t i = 0;
    while (i < line.size()) {
        const std::size_t start = line.find("${", i);
        if (start == std::string_view::npos) break;
        const std::size_t end = line.find('}', start + 2);
        if (end == std::string_view::npos) throw std::invalid_argument("${ without }");
        const std::string name(line.substr(start + 2, end - start - 2));
        const auto found = values.find(name);
        if (found == values.end()) throw std::invalid_argument("no value for ${" + name + "}");
        out.append(line.substr(i, start - i));
        out += found->second;
        i = end + 1;
    }
    out.append(line.substr(i));
    return out;
}

std::vector<ScriptLine> parseScript(std::string_view text, const std::map<std::string, std::string>& values) {
    std::vector<ScriptLine> script;
    int number = 0;
    std::size_t at = 0;
    while (at <= text.size()) {
        std::size_t end = text.find('\n', at);
        if (end == std::string_view::npos) end = text.size();
        std::string_view raw = text.substr(at, end - at);
        at = end + 1;
        ++number;
        if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
        // A comment says what it likes: a ${NAME} or a quote in it is no mistake.
        if (isCommentOrBlank(raw)) continue;
        ScriptLine line;
        line.number = number;
        line.source = std::string(raw);
        try {
            // Values go into the words they stand in, whole: a folder with
            // blanks stays one word, its backslashes are no escapes.
            line.words = splitWords(raw);
            for (std::string& word : line.words) word = substitute(word, values);
        } catch (const std::invalid_argument& e) {
            throw ScriptError(number, e.what());
        }
        if (line.words.empty()) continue;
        checkShape(line);
        script.push_back(std::move(line));
        if (end == text.size()) break;
    }
    checkBlocks(script);
    return script;
}

}  // namespace kq::simhost
