#include "host/sim/macro_player.h"

#include <algorithm>
#include <cctype>
#include <functional>
#include <map>
#include <optional>
#include <variant>

#include "common/vb.h"
#include "host/sim/name_compare.h"

namespace kq::host::sim {
namespace {

std::string upper(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

std::string trim(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(" \t");
    return std::string(text.substr(first, last - first + 1));
}

// A line without its comment: what follows a quote mark outside a text literal.
std::string withoutComment(std::string_view line) {
    bool inText = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '"') inText = !inText;
        if (line[i] == '\'' && !inText) return trim(line.substr(0, i));
    }
    return trim(line);
}

// The source's logical lines: comments gone, continued lines (" _") joined, blank lines dropped.
std::vector<std::string> logicalLines(std::string_view source) {
    std::vector<std::string> lines;
    std::string pending;
    std::size_t at = 0;
    while (at <= source.size()) {
        const std::size_t end = std::min(source.find('\n', at), source.size());
        std::string line = withoutComment(source.substr(at, end - at));
        if (!line.empty() && line.back() == '\r') line = trim(line.substr(0, line.size() - 1));
        at = end + 1;
        if (line.size() >= 2 && line.ends_with(" _")) {
            pending += line.substr(0, line.size() - 1);
            continue;
        }
        pending += line;
        if (!pending.empty() && !upper(pending).starts_with("REM ")) lines.push_back(pending);
        pending.clear();
    }
    return lines;
}

// Whether `line` begins with `words` (letter case ignored) followed by a blank or its end.
bool startsWithWords(std::string_view line, std::string_view words) {
    return line.size() >= words.size() && sameName(line.substr(0, words.size()), words) &&
           (line.size() == words.size() || line[words.size()] == ' ' || line[words.size()] == '(');
}

// ---- values -------------------------------------------------------------------------------

struct Nothing {};
using MacroValue = std::variant<std::monostate, double, std::string, Nothing, LateBoundPtr>;

bool isObject(const MacroValue& v) { return std::holds_alternative<Nothing>(v) || std::holds_alternative<LateBoundPtr>(v); }

LateBoundPtr objectOf(const MacroValue& v) {
    if (const auto* object = std::get_if<LateBoundPtr>(&v)) return *object;
    return nullptr;
}

[[noreturn]] void typeMismatch() { throw HostError(err::kTypeMismatch, "Type mismatch"); }

std::string textOf(const MacroValue& v) {
    if (std::holds_alternative<std::monostate>(v)) return {};
    if (const auto* text = std::get_if<std::string>(&v)) return *text;
    if (const auto* number = std::get_if<double>(&v)) return vb::NumberText(*number);
    typeMismatch();
}

double numberOf(const MacroValue& v) {
    if (std::holds_alternative<std::monostate>(v)) return 0;
    if (const auto* number = std::get_if<double>(&v)) return *number;
    if (const auto* text = std::get_if<std::string>(&v)) {
        const std::string t = trim(*text);
        if (!t.empty() && t.find_first_not_of("+-0123456789.") == std::string::npos) return vb::Val(t);
    }
    typeMismatch();
}

// The constants of the host and the language the macros may name.
std::optional<MacroValue> builtIn(std::string_view name) {
    static const std::map<std::string, MacroValue> kBuiltIns = {
        {"VBCRLF", std::string("\r\n")}, {"VBCR", std::string("\r")},      {"VBLF", std::string("\n")},
        {"VBTAB", std::string("\t")},    {"VBOKONLY", 0.0},                {"VBOKCANCEL", 1.0},
        {"VBYESNO", 4.0},                {"VBCRITICAL", 16.0},             {"VBQUESTION", 32.0},
        {"VBEXCLAMATION", 48.0},         {"VBINFORMATION", 64.0},          {"XLDISABLED", 0.0},
        {"XLINTERRUPT", 1.0},            {"XLERRORHANDLER", 2.0},          {"TRUE", -1.0},
        {"FALSE", 0.0},                  {"NOTHING", MacroValue(Nothing{})},
    };
    const auto found = kBuiltIns.find(upper(name));
    if (found == kBuiltIns.end()) return std::nullopt;
    return found->second;
}

// ---- statements ---------------------------------------------------------------------------

struct Statement {
    std::string text;       // a simple statement, or the condition of an If
    bool isIf = false;
    std::vector<Statement> then, otherwise;
};

// Reads statements up to one of `ends` (returned through `end`), nesting block Ifs.
std::vector<Statement> readBlock(const std::vector<std::string>& lines, std::size_t& at,
                                 std::initializer_list<std::string_view> ends, std::string& end) {
    std::vector<Statement> block;
    while (at < lines.size()) {
        const std::string& line = lines[at++];
        for (std::string_view e : ends) {
            if (sameName(line, e)) {
                end = std::string(e);
                return block;
            }
        }
        if (startsWithWords(line, "If")) {
            if (!upper(line).ends_with(" THEN")) throw MacroError("the player knows only block Ifs: " + line);
            Statement statement{trim(std::string_view(line).substr(2, line.size() - 2 - 5)), true, {}, {}};
            std::string reached;
            statement.then = readBlock(lines, at, {"Else", "End If"}, reached);
            if (reached == "Else") statement.otherwise = readBlock(lines, at, {"End If"}, reached);
            if (reached != "End If") throw MacroError("an If has no End If");
            block.push_back(std::move(statement));
            continue;
        }
        if (startsWithWords(line, "End") && std::find(ends.begin(), ends.end(), "End If") != ends.end()) {
            throw MacroError("an If has no End If before " + line);
        }
        if (startsWithWords(line, "ElseIf") || startsWithWords(line, "Else") || startsWithWords(line, "End")) {
            throw MacroError("out of place: " + line);
        }
        block.push_back({line, false, {}, {}});
    }
    throw MacroError("the source ends inside a procedure");
}

// What a run's expressions can name: module-level variables and constants,
// the Sub's own variables, and Err.
struct Scope {
    std::map<std::string, MacroValue>* variables = nullptr;  // by name in upper case
    const std::map<std::string, MacroValue>* constants = nullptr;
    std::map<std::string, MacroValue> locals;
    std::int32_t errNumber = 0;
    std::string errDescription;

    MacroValue* variable(std::string_view name) {
        const std::string key = upper(trim(name));
        if (const auto local = locals.find(key); local != locals.end()) return &local->second;
        if (variables) {
            if (const auto global = variables->find(key); global != variables->end()) return &global->second;
        }
        return nullptr;
    }
};

std::size_t findOutsideText(std::string_view text, std::string_view what) {
    bool inText = false;
    for (std::size_t i = 0; i + what.size() <= text.size(); ++i) {
        if (text[i] == '"') inText = !inText;
        if (!inText && text.substr(i, what.size()) == what) return i;
    }
    return std::string::npos;
}

// Pieces of `text` split at any of `separators` outside text literals and parentheses,
// each with the separator before it (0 for the first).
std::vector<std::pair<char, std::string>> splitOutside(std::string_view text, std::string_view separators) {
    std::vector<std::pair<char, std::string>> pieces;
    std::string current;
    char before = 0;
    bool inText = false;
    int depth = 0;
    for (char c : text) {
        if (c == '"') inText = !inText;
        if (!inText && c == '(') ++depth;
        if (!inText && c == ')') --depth;
        if (!inText && depth == 0 && separators.find(c) != std::string_view::npos) {
            pieces.emplace_back(before, trim(current));
            before = c;
            current.clear();
            continue;
        }
        current += c;
    }
    pieces.emplace_back(before, trim(current));
    return pieces;
}

MacroValue evaluate(Scope& scope, std::string_view expression);

MacroValue term(Scope& scope, const std::string& text) {
    if (text.empty()) throw MacroError("an expression the player does not know");
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"') {
        std::string value;
        for (std::size_t i = 1; i + 1 < text.size(); ++i) {
            if (text[i] == '"') {
                if (text[i + 1] != '"' || i + 2 >= text.size()) throw MacroError("a text the player cannot read: " + text);
                ++i;
            }
            value += text[i];
        }
        return value;
    }
    if (text.find_first_not_of("0123456789") == std::string::npos) return static_cast<double>(vb::Val(text));
    if (text.front() == '(' && text.back() == ')') return evaluate(scope, std::string_view(text).substr(1, text.size() - 2));
    if (sameName(text, "Err.Number")) return static_cast<double>(scope.errNumber);
    if (sameName(text, "Err.Description")) return scope.errDescription;
    if (const MacroValue* value = scope.variable(text)) return *value;
    if (scope.constants) {
        if (const auto constant = scope.constants->find(upper(text)); constant != scope.constants->end()) return constant->second;
    }
    if (auto value = builtIn(text)) return *value;
    throw MacroError("an expression the player does not know: " + text);
}

// Terms joined by & (as texts) and + (as numbers).
MacroValue evaluate(Scope& scope, std::string_view expression) {
    const auto terms = splitOutside(trim(expression), "&+");
    MacroValue result = term(scope, terms.front().second);
    for (std::size_t i = 1; i < terms.size(); ++i) {
        const MacroValue next = term(scope, terms[i].second);
        if (terms[i].first == '&') {
            result = textOf(result) + textOf(next);
        } else {
            result = numberOf(result) + numberOf(next);
        }
    }
    return result;
}

bool holds(Scope& scope, std::string_view text) {
    const std::string t = trim(text);
    if (startsWithWords(t, "Not")) return !holds(scope, std::string_view(t).substr(3));
    if (upper(t).ends_with(" IS NOTHING")) {
        const MacroValue value = evaluate(scope, std::string_view(t).substr(0, t.size() - 11));
        if (!isObject(value)) throw HostError(err::kObjectRequired, "Object required");
        return objectOf(value) == nullptr;
    }
    for (std::string_view op : {"<>", "="}) {
        const std::size_t at = findOutsideText(t, op);
        if (at == std::string::npos) continue;
        const MacroValue left = evaluate(scope, std::string_view(t).substr(0, at));
        const MacroValue right = evaluate(scope, std::string_view(t).substr(at + op.size()));
        const bool equal = std::holds_alternative<std::string>(left) || std::holds_alternative<std::string>(right)
                               ? textOf(left) == textOf(right)
                               : numberOf(left) == numberOf(right);
        return op == "=" ? equal : !equal;
    }
    return numberOf(evaluate(scope, t)) != 0;
}

// "Name As Type" -> the name and whether the type is Object.
std::pair<std::string, bool> declaration(std::string_view text) {
    const std::size_t as = upper(text).find(" AS ");
    const bool object = as != std::string::npos && sameName(trim(text.substr(as + 4)), "Object");
    return {trim(text.substr(0, as)), object};
}

MacroValue initialValue(bool object) { return object ? MacroValue(Nothing{}) : MacroValue{}; }

// One run of a Sub: its statements played against the host.
class MacroRun {
public:
    MacroRun(Scope& scope, MacroHost& host) : scope_(scope), host_(host) {}

    // Plays the statements; false when Exit Sub ended the procedure.
    bool play(const std::vector<Statement>& block) {
        for (const Statement& statement : block) {
            bool exit = false;
            guarded([&] {
                if (statement.isIf) {
                    exit = !play(holds(scope_, statement.text) ? statement.then : statement.otherwise);
                } else {
                    exit = !simple(statement.text);
                }
            });
            if (exit) return false;
        }
        return true;
    }

private:
    // Runs a step; a run-time error goes to Err while On Error Resume Next
    // holds (the run goes on with the next statement), else out of the macro.
    void guarded(const std::function<void()>& step) {
        try {
            step();
        } catch (const HostError& e) {
            if (!resumeNext_) throw;
            scope_.errNumber = e.number();
            scope_.errDescription = e.what();
        }
    }

    // A simple statement; false for Exit Sub.
    bool simple(const std::string& line) {
        if (sameName(line, "Exit Sub")) return false;
        if (sameName(line, "On Error Resume Next") || sameName(line, "On Error GoTo 0")) {
            resumeNext_ = sameName(line, "On Error Resume Next");
            scope_.errNumber = 0;
            scope_.errDescription.clear();
        } else if (startsWithWords(line, "Dim")) {
            const auto [name, object] = declaration(std::string_view(line).substr(3));
            scope_.locals[upper(name)] = initialValue(object);
        } else if (startsWithWords(line, "Set")) {
            const std::size_t equals = line.find('=');
            if (equals == std::string::npos) throw MacroError("a Set without =: " + line);
            MacroValue* target = scope_.variable(std::string_view(line).substr(3, equals - 3));
            if (!target) throw MacroError("a variable that is not declared: " + line);
            *target = objectExpression(trim(std::string_view(line).substr(equals + 1)));
        } else if (startsWithWords(line, "MsgBox")) {
            msgBox(line);
        } else if (const std::size_t equals = findOutsideText(line, "="); equals != std::string::npos) {
            if (!sameName(trim(std::string_view(line).substr(0, equals)), "Application.EnableCancelKey")) {
                throw MacroError("an assignment the player does not know: " + line);
            }
            host_.setEnableCancelKey(static_cast<std::int32_t>(numberOf(evaluate(scope_, std::string_view(line).substr(equals + 1)))));
        } else {
            call(line);
        }
        return true;
    }

    void msgBox(const std::string& line) {
        const auto args = splitOutside(std::string_view(line).substr(6), ",");
        if (args.size() > 3 || args.front().second.empty()) throw MacroError("a MsgBox the player does not know: " + line);
        const std::string prompt = textOf(evaluate(scope_, args[0].second));
        const auto buttons = static_cast<std::int32_t>(args.size() > 1 ? numberOf(evaluate(scope_, args[1].second)) : 0);
        const std::string title = args.size() > 2 ? textOf(evaluate(scope_, args[2].second)) : std::string("Microsoft Excel");
        host_.msgBox(prompt, buttons, title);
    }

    // variable.Method: a late-bound call without arguments.
    void call(const std::string& line) {
        const std::size_t dot = line.find('.');
        MacroValue* target = dot == std::string::npos || line.find_first_of(" (\"") != std::string::npos
                                 ? nullptr
                                 : scope_.variable(std::string_view(line).substr(0, dot));
        if (!target || !isObject(*target)) throw MacroError("a statement the player does not know: " + line);
        const LateBoundPtr object = objectOf(*target);
        if (!object) throw HostError(91, "Object variable or With block variable not set");
        std::vector<Value> none;
        object->Invoke(line.substr(dot + 1), none);
    }

    // Application.COMAddIns(text).Object, or any expression that gives an object.
    MacroValue objectExpression(const std::string& expression) {
        constexpr std::string_view kLookup = "Application.COMAddIns(";
        constexpr std::string_view kObject = ").Object";
        if (expression.size() > kLookup.size() + kObject.size() && sameName(expression.substr(0, kLookup.size()), kLookup) &&
            sameName(std::string_view(expression).substr(expression.size() - kObject.size()), kObject)) {
            const std::string_view inner =
                std::string_view(expression).substr(kLookup.size(), expression.size() - kLookup.size() - kObject.size());
            const LateBoundPtr object = host_.comAddInObject(textOf(evaluate(scope_, inner)));
            return object ? MacroValue(object) : MacroValue(Nothing{});
        }
        MacroValue value = evaluate(scope_, expression);
        if (!isObject(value)) throw HostError(err::kObjectRequired, "Object required");
        return value;
    }

    Scope& scope_;
    MacroHost& host_;
    bool resumeNext_ = false;
};

}  // namespace

struct MacroModule::Impl {
    struct Procedure {
        std::string name;
        bool isPublicSub = false;
        std::vector<Statement> body;
    };
    std::string name;
    std::string problem;
    std::vector<Procedure> procedures;
    std::map<std::string, MacroValue> variables;
    std::map<std::string, MacroValue> constants;

    void read(std::string_view source) {
        const std::vector<std::string> lines = logicalLines(source);
        for (std::size_t at = 0; at < lines.size();) {
            std::string line = lines[at++];
            if (startsWithWords(line, "Attribute") || startsWithWords(line, "Option")) continue;
            bool isPublic = true;
            for (std::string_view scope : {"Public", "Private", "Global"}) {
                if (!startsWithWords(line, scope)) continue;
                isPublic = scope != "Private";
                line = trim(std::string_view(line).substr(scope.size()));
            }
            if (startsWithWords(line, "Sub") || startsWithWords(line, "Function")) {
                const bool isSub = startsWithWords(line, "Sub");
                const std::string header = trim(std::string_view(line).substr(isSub ? 3 : 8));
                const std::size_t paren = header.find('(');
                Procedure procedure{trim(std::string_view(header).substr(0, paren)), false, {}};
                procedure.isPublicSub = isSub && isPublic && paren != std::string::npos &&
                                        trim(std::string_view(header).substr(paren)) == "()";
                std::string end;
                procedure.body = readBlock(lines, at, {isSub ? "End Sub" : "End Function"}, end);
                procedures.push_back(std::move(procedure));
            } else if (startsWithWords(line, "Const")) {
                const std::string_view rest = std::string_view(line).substr(5);
                const std::size_t equals = rest.find('=');
                if (equals == std::string_view::npos) throw MacroError("a Const without a value: " + line);
                Scope scope;
                scope.constants = &constants;
                const MacroValue value = evaluate(scope, rest.substr(equals + 1));
                constants[upper(declaration(rest.substr(0, equals)).first)] = value;
            } else {
                if (startsWithWords(line, "Dim")) line = trim(std::string_view(line).substr(3));
                const auto [variable, object] = declaration(line);
                if (variable.empty() || variable.find_first_of(" (=") != std::string::npos) {
                    throw MacroError("a declaration the player does not know: " + line);
                }
                variables[upper(variable)] = initialValue(object);
            }
        }
    }
};

MacroModule::MacroModule(std::string name, std::string_view source) : impl_(std::make_unique<Impl>()) {
    impl_->name = std::move(name);
    try {
        impl_->read(source);
    } catch (const MacroError& e) {
        impl_->problem = e.what();
    } catch (const HostError& e) {
        impl_->problem = e.what();
    }
}

MacroModule::~MacroModule() = default;
MacroModule::MacroModule(MacroModule&&) noexcept = default;
MacroModule& MacroModule::operator=(MacroModule&&) noexcept = default;

const std::string& MacroModule::name() const { return impl_->name; }

std::vector<std::string> MacroModule::publicSubs() const {
    std::vector<std::string> subs;
    for (const auto& procedure : impl_->procedures) {
        if (procedure.isPublicSub) subs.push_back(procedure.name);
    }
    return subs;
}

bool MacroModule::hasPublicSub(std::string_view sub) const {
    return std::any_of(impl_->procedures.begin(), impl_->procedures.end(),
                       [&](const auto& p) { return p.isPublicSub && sameName(p.name, sub); });
}

void MacroModule::run(std::string_view sub, MacroHost& host) {
    if (!impl_->problem.empty()) throw MacroError("module " + impl_->name + ": " + impl_->problem);
    const auto procedure = std::find_if(impl_->procedures.begin(), impl_->procedures.end(),
                                        [&](const auto& p) { return p.isPublicSub && sameName(p.name, sub); });
    if (procedure == impl_->procedures.end()) {
        throw MacroError("module " + impl_->name + " has no public Sub " + std::string(sub));
    }
    Scope scope;
    scope.variables = &impl_->variables;
    scope.constants = &impl_->constants;
    MacroRun(scope, host).play(procedure->body);
}

}  // namespace kq::host::sim
