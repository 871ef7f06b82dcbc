#include "host/sim/sim_command_bars.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>

#include "host/sim/name_compare.h"

namespace kq::host::sim {

namespace {

constexpr std::uint32_t kButtonColour = 0xC0C0C0;
constexpr std::int32_t kPopupBarFirstId = 30002;
// Where a popup's menu stands: it drops down from its popup.
constexpr std::int32_t kMenuPosition = 5;

HostError gone() { return HostError(err::kObjectDisconnected, "The object invoked has disconnected from its clients"); }
HostError invalid(const std::string& why) { return HostError(err::kInvalidCall, "Invalid procedure call or argument: " + why); }
HostError notForThisKind() { return runtimeError(err::kNoSuchMember); }

bool matches(const SimControl& control, const ControlCriteria& criteria) {
    if (criteria.Id && control.id() != *criteria.Id) return false;
    if (criteria.Tag && control.tag() != *criteria.Tag) return false;
    return true;
}

}  // namespace

ButtonFace blankFace() {
    ButtonFace face;
    face.pixels.fill(kButtonColour);
    return face;
}

// A frame and a pattern of blocks drawn from the id's bits, in a colour of its own.
ButtonFace builtInFace(std::int32_t faceId) {
    ButtonFace face = blankFace();
    const auto bits = static_cast<std::uint32_t>(faceId) * 2654435761u;
    const std::uint32_t ink = (bits >> 8) & 0x7F7F7F;
    for (int y = 1; y < kFaceSize - 1; ++y) {
        for (int x = 1; x < kFaceSize - 1; ++x) {
            const bool frame = x == 1 || y == 1 || x == kFaceSize - 2 || y == kFaceSize - 2;
            const int block = (y - 2) / 3 * 4 + (x - 2) / 3;
            const bool inked = frame || (x >= 2 && y >= 2 && x < 14 && y < 14 && ((bits >> (block % 32)) & 1u));
            if (inked) face.pixels[static_cast<std::size_t>(y * kFaceSize + x)] = ink;
        }
    }
    return face;
}

std::string faceHash(const ButtonFace& face) {
    std::uint32_t hash = 2166136261u;
    for (const std::uint32_t pixel : face.pixels) {
        for (int shift = 0; shift < 24; shift += 8) {
            hash ^= (pixel >> shift) & 0xFFu;
            hash *= 16777619u;
        }
    }
    char text[9];
    std::snprintf(text, sizeof text, "%08x", static_cast<unsigned>(hash));
    return text;
}

// ---------------------------------------------------------------- controls

SimControl::SimControl(std::weak_ptr<SimCommandBars> bars, std::int32_t id, std::int32_t type, bool builtIn,
                       bool temporary)
    : bars_(std::move(bars)), id_(id), type_(type), builtIn_(builtIn), temporary_(temporary) {}

void SimControl::check() const {
    if (deleted_) throw gone();
}

void SimControl::checkButton() const {
    check();
    if (type_ != msoControlButton) throw notForThisKind();
}

std::shared_ptr<SimCommandBars> SimControl::bars() const {
    auto bars = bars_.lock();
    if (!bars) throw gone();
    return bars;
}

bool SimControl::Enabled() {
    check();
    return enabled_;
}
std::int32_t SimControl::Id() {
    check();
    return id_;
}
std::int32_t SimControl::Type() {
    check();
    return type_;
}
std::string SimControl::Caption() {
    check();
    return caption_;
}
void SimControl::SetCaption(const std::string& caption) {
    check();
    caption_ = caption;
}
std::string SimControl::Tag() {
    check();
    return tag_;
}
void SimControl::SetTag(const std::string& tag) {
    check();
    tag_ = tag;
}
std::string SimControl::OnAction() {
    check();
    return onAction_;
}
void SimControl::SetOnAction(const std::string& action) {
    check();
    onAction_ = action;
}
bool SimControl::BeginGroup() {
    check();
    return beginGroup_;
}
void SimControl::SetBeginGroup(bool begins) {
    check();
    beginGroup_ = begins;
}
std::int32_t SimControl::Style() {
    checkButton();
    return style_;
}
void SimControl::SetStyle(std::int32_t style) {
    checkButton();
    if (style < 0 || style > 15) throw invalid("no such button style");
    style_ = style;
}
std::int32_t SimControl::FaceId() {
    checkButton();
    return faceId_;
}
void SimControl::SetFaceId(std::int32_t faceId) {
    checkButton();
    if (faceId < 0) throw invalid("no such face");
    faceId_ = faceId;
    pasted_.reset();
}
std::int32_t SimControl::State() {
    checkButton();
    return state_;
}
void SimControl::SetState(std::int32_t state) {
    checkButton();
    if (state != msoButtonUp && state != msoButtonDown && state != 2) throw invalid("no such button state");
    state_ = state;
}

std::optional<ButtonFace> SimControl::face() const {
    if (pasted_) return pasted_;
    if (faceId_ != 0) return builtInFace(faceId_);
    return std::nullopt;
}

void SimControl::CopyFace() {
    checkButton();
    bars()->clipboard().putFace(face().value_or(blankFace()));
}

void SimControl::PasteFace() {
    checkButton();
    const std::optional<ButtonFace> picture = bars()->clipboard().takeFace();
    if (!picture) throw HostError(err::kUnspecifiedFailure, "PasteFace: the clipboard holds no picture");
    pasted_ = picture;
}

CommandBarPtr SimControl::CommandBar() {
    check();
    if (!menu_) throw notForThisKind();
    return menu_;
}

CommandBarControlPtr SimControl::Copy(const CommandBarPtr& Bar) {
    check();
    auto target = std::dynamic_pointer_cast<SimCommandBar>(Bar);
    if (!target) throw runtimeError(err::kTypeMismatch);
    if (target->deleted()) throw gone();
    auto copy = clone(target);
    target->insert(copy);
    return copy;
}

void SimControl::Delete() {
    check();
    if (const auto bar = parent()) bar->remove(*this);
    markDeleted();
}

std::unique_ptr<EventConnection> SimControl::AdviseClick(ButtonEvents& events) {
    check();
    return bars()->advise(shared_from_this(), events);
}

void SimControl::attachMenu(std::shared_ptr<SimCommandBar> menu) {
    menu_ = std::move(menu);
    menu_->setOwner(shared_from_this());
}

void SimControl::markDeleted() {
    deleted_ = true;
    if (menu_) menu_->markDeleted();
}

std::shared_ptr<SimControl> SimControl::clone(const std::shared_ptr<SimCommandBar>& into) const {
    auto copy = std::make_shared<SimControl>(bars_, id_, type_, builtIn_, temporary_);
    copy->enabled_ = enabled_;
    copy->caption_ = caption_;
    copy->tag_ = tag_;
    copy->onAction_ = onAction_;
    copy->beginGroup_ = beginGroup_;
    copy->style_ = style_;
    copy->faceId_ = faceId_;
    copy->state_ = state_;
    copy->pasted_ = pasted_;
    copy->placeIn(into);
    if (menu_) {
        copy->attachMenu(std::make_shared<SimCommandBar>(bars_, menu_->shape()));
        for (const auto& inner : menu_->controls()) copy->menu_->insert(inner->clone(copy->menu_));
    }
    return copy;
}

bool SimControl::sharesEventsWith(const SimControl& other) const {
    if (this == &other) return true;
    if (!tag_.empty() || !other.tag_.empty()) return tag_ == other.tag_;
    return builtIn_ && other.builtIn_ && id_ == other.id_;
}

// ---------------------------------------------------------------- bars

SimCommandBar::SimCommandBar(std::weak_ptr<SimCommandBars> bars, Shape shape)
    : bars_(std::move(bars)), shape_(std::move(shape)), position_(shape_.position) {}

void SimCommandBar::check() const {
    if (deleted_) throw gone();
}

std::string SimCommandBar::Name() {
    check();
    return shape_.name;
}
std::int32_t SimCommandBar::Position() {
    check();
    return position_;
}
void SimCommandBar::SetPosition(std::int32_t position) {
    check();
    if (position < msoBarLeft || position > msoBarFloating) throw invalid("no such position");
    position_ = position;
}
std::int32_t SimCommandBar::RowIndex() {
    check();
    return rowIndex_;
}
void SimCommandBar::SetRowIndex(std::int32_t row) {
    check();
    rowIndex_ = row;
}
std::int32_t SimCommandBar::Left() {
    check();
    return left_;
}
void SimCommandBar::SetLeft(std::int32_t left) {
    check();
    left_ = left;
}
std::int32_t SimCommandBar::Top() {
    check();
    return top_;
}
void SimCommandBar::SetTop(std::int32_t top) {
    check();
    top_ = top;
}
bool SimCommandBar::Visible() {
    check();
    return visible_;
}
void SimCommandBar::SetVisible(bool visible) {
    check();
    visible_ = visible;
}
std::int32_t SimCommandBar::Protection() {
    check();
    return protection_;
}
void SimCommandBar::SetProtection(std::int32_t protection) {
    check();
    if (protection < 0 || protection > 0xFF) throw invalid("no such protection");
    protection_ = protection;
}

std::vector<CommandBarControlPtr> SimCommandBar::Controls() {
    check();
    return {controls_.begin(), controls_.end()};
}

CommandBarControlPtr SimCommandBar::AddControl(std::int32_t Type, std::optional<std::int32_t> Before, bool Temporary) {
    check();
    if (Type != msoControlButton && Type != msoControlPopup) throw invalid("no such control type");
    if (Before && (*Before < 1 || static_cast<std::size_t>(*Before) > controls_.size() + 1)) {
        throw invalid("no control stands there");
    }
    const auto at = Before ? std::optional(static_cast<std::size_t>(*Before - 1)) : std::nullopt;
    return add(kCustomControlId, Type, false, Temporary, at);
}

CommandBarControlPtr SimCommandBar::FindControl(const ControlCriteria& criteria) {
    check();
    for (const auto& control : controls_) {
        if (matches(*control, criteria)) return control;
    }
    return nullptr;
}

void SimCommandBar::Delete() {
    check();
    if (shape_.builtIn || !owner_.expired()) throw invalid("this bar stays");
    if (const auto bars = bars_.lock()) bars->removeBar(*this);
    markDeleted();
}

std::shared_ptr<SimControl> SimCommandBar::add(std::int32_t id, std::int32_t type, bool builtIn, bool temporary,
                                               std::optional<std::size_t> at) {
    auto control = std::make_shared<SimControl>(bars_, id, type, builtIn, temporary);
    control->placeIn(shared_from_this());
    if (builtIn && type == msoControlButton) control->setFaceIdOf(id);
    if (type == msoControlPopup) {
        control->attachMenu(std::make_shared<SimCommandBar>(bars_, Shape{.name = "", .position = kMenuPosition, .builtIn = builtIn}));
    }
    const auto where = at && *at < controls_.size() ? controls_.begin() + static_cast<std::ptrdiff_t>(*at) : controls_.end();
    controls_.insert(where, control);
    return control;
}

void SimCommandBar::insert(std::shared_ptr<SimControl> control) {
    control->placeIn(shared_from_this());
    controls_.push_back(std::move(control));
}

void SimCommandBar::remove(const SimControl& control) {
    std::erase_if(controls_, [&](const auto& c) { return c.get() == &control; });
}

void SimCommandBar::markDeleted() {
    deleted_ = true;
    for (const auto& control : controls_) control->markDeleted();
}

void SimCommandBar::walk(const std::function<void(const std::shared_ptr<SimControl>&)>& visit) const {
    for (const auto& control : controls_) {
        visit(control);
        if (control->menu()) control->menu()->walk(visit);
    }
}

void SimCommandBar::dropTemporary() {
    for (const auto& control : controls_) {
        if (control->temporary()) control->markDeleted();
    }
    std::erase_if(controls_, [](const auto& c) { return c->deleted(); });
    for (const auto& control : controls_) {
        if (control->menu()) control->menu()->dropTemporary();
    }
}

// ---------------------------------------------------------------- the collection

std::shared_ptr<SimCommandBars> SimCommandBars::create() {
    auto bars = std::make_shared<SimCommandBars>();
    const auto weak = std::weak_ptr<SimCommandBars>(bars);
    auto menuBar = std::make_shared<SimCommandBar>(
        weak, SimCommandBar::Shape{.name = "Worksheet Menu Bar", .position = msoBarTop, .menuBar = true, .builtIn = true});
    auto standard = std::make_shared<SimCommandBar>(
        weak, SimCommandBar::Shape{.name = "Standard", .position = msoBarTop, .builtIn = true});
    bars->bars_ = {menuBar, standard};
    standard->SetRowIndex(2);

    const auto file = menuBar->add(kPopupBarFirstId, msoControlPopup, true, false);
    file->setCaptionOf("&File");
    const std::pair<std::int32_t, const char*> fileCommands[] = {
        {kControlEditingOff, "&New..."}, {kControlPrintable, "Save &As..."},
        {kControlPreview, "Print Pre&view"}, {kControlPrint, "&Print..."}};
    for (const auto& [id, caption] : fileCommands) file->menu()->add(id, msoControlButton, true, false)->setCaptionOf(caption);
    const std::pair<std::int32_t, const char*> standardCommands[] = {{kControlQuickPrint, "Print"},
                                                                     {kControlPreview, "Print Preview"}};
    for (const auto& [id, caption] : standardCommands) standard->add(id, msoControlButton, true, false)->setCaptionOf(caption);
    return bars;
}

CommandBarPtr SimCommandBars::Item(std::int32_t index) {
    if (index < 1 || static_cast<std::size_t>(index) > bars_.size()) throw invalid("no bar has that index");
    return bars_[static_cast<std::size_t>(index - 1)];
}

CommandBarPtr SimCommandBars::FindBar(const std::string& name) { return bar(name); }

CommandBarPtr SimCommandBars::Add(const std::string& Name, std::int32_t Position, bool MenuBar, bool Temporary) {
    if (Name.empty() || bar(Name)) throw invalid("a bar is called '" + Name + "' already");
    if (Position < msoBarLeft || Position > msoBarFloating) throw invalid("no such position");
    auto added = std::make_shared<SimCommandBar>(
        weak_from_this(),
        SimCommandBar::Shape{.name = Name, .position = Position, .menuBar = MenuBar, .builtIn = false, .temporary = Temporary});
    bars_.push_back(added);
    return added;
}

std::vector<std::shared_ptr<SimControl>> SimCommandBars::matching(const ControlCriteria& criteria, bool firstOnly) const {
    std::vector<std::shared_ptr<SimControl>> found;
    for (const auto& bar : bars_) {
        bar->walk([&](const std::shared_ptr<SimControl>& control) {
            if ((!firstOnly || found.empty()) && matches(*control, criteria)) found.push_back(control);
        });
    }
    return found;
}

CommandBarControlPtr SimCommandBars::FindControl(const ControlCriteria& criteria) {
    const auto found = matching(criteria, true);
    return found.empty() ? nullptr : found.front();
}

std::vector<CommandBarControlPtr> SimCommandBars::FindControls(const ControlCriteria& criteria) {
    const auto found = matching(criteria, false);
    return {found.begin(), found.end()};
}

std::shared_ptr<SimCommandBar> SimCommandBars::bar(const std::string& name) const {
    const auto it = std::find_if(bars_.begin(), bars_.end(), [&](const auto& b) { return sameName(b->name(), name); });
    return it == bars_.end() ? nullptr : *it;
}

std::shared_ptr<SimControl> SimCommandBars::builtIn(std::int32_t id) {
    const auto found = matching({.Id = id, .Tag = std::nullopt}, true);
    if (!found.empty()) return found.front();
    return bar("Standard")->add(id, msoControlButton, true, false);
}

std::shared_ptr<SimControl> SimCommandBars::withTag(const std::string& tag) const {
    const auto found = matching({.Id = std::nullopt, .Tag = tag}, true);
    return found.empty() ? nullptr : found.front();
}

void SimCommandBars::setCommand(std::int32_t id, std::function<void()> command) { commands_[id] = std::move(command); }

FaceClipboard& SimCommandBars::clipboard() {
    if (!clipboard_) throw HostError(err::kApplicationDefined, "The clipboard cannot be opened");
    return *clipboard_;
}

namespace {

class HandlerConnection final : public EventConnection {
public:
    HandlerConnection(std::weak_ptr<SimCommandBars> bars, int cookie) : bars_(std::move(bars)), cookie_(cookie) {}
    ~HandlerConnection() override {
        if (const auto bars = bars_.lock()) bars->unadvise(cookie_);
    }

private:
    std::weak_ptr<SimCommandBars> bars_;
    int cookie_;
};

}  // namespace

std::unique_ptr<EventConnection> SimCommandBars::advise(const std::shared_ptr<SimControl>& control, ButtonEvents& events) {
    const int cookie = nextCookie_++;
    handlers_.push_back({cookie, control, &events});
    return std::make_unique<HandlerConnection>(weak_from_this(), cookie);
}

void SimCommandBars::unadvise(int cookie) {
    std::erase_if(handlers_, [&](const Handler& h) { return h.cookie == cookie; });
}

ClickOutcome SimCommandBars::click(const std::shared_ptr<SimControl>& control) {
    if (!control || control->deleted()) throw std::logic_error("a control that is gone cannot be clicked");
    if (!control->enabled()) throw std::logic_error("a disabled control cannot be clicked");
    ClickOutcome outcome;
    bool cancel = false;
    // A handler may connect or disconnect handlers while the click goes round.
    std::vector<int> cookies;
    for (const Handler& h : handlers_) cookies.push_back(h.cookie);
    for (const int cookie : cookies) {
        const auto it = std::find_if(handlers_.begin(), handlers_.end(), [&](const Handler& h) { return h.cookie == cookie; });
        if (it == handlers_.end()) continue;
        const auto held = it->control.lock();
        if (!held || !held->sharesEventsWith(*control)) continue;
        ButtonEvents* events = it->events;
        ++outcome.handlers;
        events->Click(control, cancel);
    }
    outcome.cancelled = cancel;
    const auto command = control->builtIn() ? commands_.find(control->id()) : commands_.end();
    if (!cancel && command != commands_.end() && command->second) {
        command->second();
        outcome.commandRan = true;
    }
    return outcome;
}

void SimCommandBars::closeSession() {
    for (const auto& bar : bars_) {
        if (bar->shape().temporary) bar->markDeleted();
    }
    std::erase_if(bars_, [](const auto& b) { return b->deleted(); });
    for (const auto& bar : bars_) bar->dropTemporary();
}

void SimCommandBars::removeBar(const SimCommandBar& bar) {
    std::erase_if(bars_, [&](const auto& b) { return b.get() == &bar; });
}

}  // namespace kq::host::sim
