#pragma once
// The simulated host's command bars: the worksheet menu bar and the toolbars,
// popups with their menus, buttons with their faces, and the Click events.
//
// The host starts with its own bars and controls (built-in: they cannot be
// deleted and survive every session), among them the controls the add-ins ask
// about: 18 (disabled while a cell is being edited), 748 (printing possible),
// 4 (print), 2521 (quick print) and 109 (print preview). What the add-ins add
// as temporary goes when the host closes (closeSession).
//
// A click reaches every handler connected to a control with the clicked
// control's tag, or for a built-in control without a tag with its Id; then,
// unless a handler set CancelDefault, the control's own command runs.
//
// Faces are 16 x 16 pixels. CopyFace puts a face on a FaceClipboard and
// PasteFace takes one from it: the system clipboard in simhost
// (host/sim/win32), one in memory for portable tests.

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/host.h"

namespace kq::host::sim {

inline constexpr int kFaceSize = 16;

// A button's face, 0xRRGGBB pixels row by row from the top.
struct ButtonFace {
    std::array<std::uint32_t, kFaceSize * kFaceSize> pixels{};
    friend bool operator==(const ButtonFace&, const ButtonFace&) = default;
};

// The face of a button that has none: the button's colour all over.
ButtonFace blankFace();
// The picture the host draws for a FaceId other than 0: each its own.
ButtonFace builtInFace(std::int32_t faceId);
// Eight hex digits standing for the pixels, for transcripts.
std::string faceHash(const ButtonFace& face);

class FaceClipboard {
public:
    virtual ~FaceClipboard() = default;
    // Replaces the clipboard's content with the face; throws HostError when
    // the clipboard cannot be had.
    virtual void putFace(const ButtonFace& face) = 0;
    // The picture the clipboard holds as a face, or empty when it holds none.
    virtual std::optional<ButtonFace> takeFace() = 0;
};

class MemoryFaceClipboard final : public FaceClipboard {
public:
    void putFace(const ButtonFace& face) override { held = face; }
    std::optional<ButtonFace> takeFace() override { return held; }
    std::optional<ButtonFace> held;
};

class SimCommandBars;
class SimCommandBar;

// Built-in controls of the host's own commands.
inline constexpr std::int32_t kControlEditingOff = 18;  // disabled while a cell is being edited
inline constexpr std::int32_t kControlPrintable = 748;
inline constexpr std::int32_t kControlPrint = 4;
inline constexpr std::int32_t kControlQuickPrint = 2521;
inline constexpr std::int32_t kControlPreview = 109;
// The Id of every control an add-in adds.
inline constexpr std::int32_t kCustomControlId = 1;

class SimControl final : public CommandBarControl, public std::enable_shared_from_this<SimControl> {
public:
    SimControl(std::weak_ptr<SimCommandBars> bars, std::int32_t id, std::int32_t type, bool builtIn, bool temporary);

    // The façade. Once deleted, every call fails (kObjectDisconnected).
    bool Enabled() override;
    std::int32_t Id() override;
    std::int32_t Type() override;
    std::string Caption() override;
    void SetCaption(const std::string& caption) override;
    std::string Tag() override;
    void SetTag(const std::string& tag) override;
    std::string OnAction() override;
    void SetOnAction(const std::string& action) override;
    bool BeginGroup() override;
    void SetBeginGroup(bool begins) override;
    std::int32_t Style() override;
    void SetStyle(std::int32_t style) override;
    std::int32_t FaceId() override;
    void SetFaceId(std::int32_t faceId) override;
    std::int32_t State() override;
    void SetState(std::int32_t state) override;
    void CopyFace() override;
    void PasteFace() override;
    CommandBarPtr CommandBar() override;
    CommandBarControlPtr Copy(const CommandBarPtr& Bar) override;
    void Delete() override;
    std::unique_ptr<EventConnection> AdviseClick(ButtonEvents& events) override;

    // The model.
    void setEnabled(bool enabled) { enabled_ = enabled; }
    bool enabled() const { return enabled_; }
    bool builtIn() const { return builtIn_; }
    bool temporary() const { return temporary_; }
    bool deleted() const { return deleted_; }
    std::int32_t id() const { return id_; }
    std::int32_t type() const { return type_; }
    const std::string& caption() const { return caption_; }
    const std::string& tag() const { return tag_; }
    const std::string& onAction() const { return onAction_; }
    bool beginGroup() const { return beginGroup_; }
    std::int32_t style() const { return style_; }
    std::int32_t faceId() const { return faceId_; }
    std::int32_t state() const { return state_; }
    // What the button shows: a pasted picture, else its FaceId's; empty for none.
    std::optional<ButtonFace> face() const;
    // The menu of a popup; empty for a button.
    const std::shared_ptr<SimCommandBar>& menu() const { return menu_; }
    std::shared_ptr<SimCommandBar> parent() const { return parent_.lock(); }

    // For the bars: where the control stands, that it is gone, a copy of it.
    void placeIn(const std::shared_ptr<SimCommandBar>& bar) { parent_ = bar; }
    void markDeleted();
    std::shared_ptr<SimControl> clone(const std::shared_ptr<SimCommandBar>& into) const;
    void attachMenu(std::shared_ptr<SimCommandBar> menu);
    // The same command and tag as far as Click handlers are concerned.
    bool sharesEventsWith(const SimControl& other) const;
    void setCaptionOf(std::string caption) { caption_ = std::move(caption); }
    void setFaceIdOf(std::int32_t faceId) { faceId_ = faceId; }

private:
    void check() const;
    void checkButton() const;
    std::shared_ptr<SimCommandBars> bars() const;

    std::weak_ptr<SimCommandBars> bars_;
    std::weak_ptr<SimCommandBar> parent_;
    std::int32_t id_;
    std::int32_t type_;
    bool builtIn_;
    bool temporary_;
    bool deleted_ = false;
    bool enabled_ = true;
    std::string caption_;
    std::string tag_;
    std::string onAction_;
    bool beginGroup_ = false;
    std::int32_t style_ = 0;  // msoButtonAutomatic
    std::int32_t faceId_ = 0;
    std::int32_t state_ = msoButtonUp;
    std::optional<ButtonFace> pasted_;
    std::shared_ptr<SimCommandBar> menu_;
};

class SimCommandBar final : public CommandBar, public std::enable_shared_from_this<SimCommandBar> {
public:
    struct Shape {
        std::string name;
        std::int32_t position = msoBarTop;
        bool menuBar = false;
        bool builtIn = false;
        bool temporary = false;
    };
    SimCommandBar(std::weak_ptr<SimCommandBars> bars, Shape shape);

    // The façade. Once deleted, every call fails (kObjectDisconnected).
    std::string Name() override;
    // 0 to 4 (msoBar*); anything else fails (5).
    std::int32_t Position() override;
    void SetPosition(std::int32_t position) override;
    std::int32_t RowIndex() override;
    void SetRowIndex(std::int32_t row) override;
    std::int32_t Left() override;
    void SetLeft(std::int32_t left) override;
    std::int32_t Top() override;
    void SetTop(std::int32_t top) override;
    bool Visible() override;
    void SetVisible(bool visible) override;
    // The msoBarNo* flags, 0 to 255; anything else fails (5).
    std::int32_t Protection() override;
    void SetProtection(std::int32_t protection) override;
    std::vector<CommandBarControlPtr> Controls() override;
    // A button or a popup; `Before` from 1 to one past the last (5 otherwise).
    CommandBarControlPtr AddControl(std::int32_t Type, std::optional<std::int32_t> Before, bool Temporary) override;
    CommandBarControlPtr FindControl(const ControlCriteria& criteria) override;
    // A built-in bar or a popup's menu cannot be deleted (5).
    void Delete() override;

    // The model.
    const std::string& name() const { return shape_.name; }
    const Shape& shape() const { return shape_; }
    bool deleted() const { return deleted_; }
    std::int32_t position() const { return position_; }
    std::int32_t rowIndex() const { return rowIndex_; }
    std::int32_t left() const { return left_; }
    std::int32_t top() const { return top_; }
    bool visible() const { return visible_; }
    std::int32_t protection() const { return protection_; }
    const std::vector<std::shared_ptr<SimControl>>& controls() const { return controls_; }
    // The popup whose menu this is; empty for a bar of its own.
    std::shared_ptr<SimControl> owner() const { return owner_.lock(); }

    void setOwner(const std::shared_ptr<SimControl>& popup) { owner_ = popup; }
    std::shared_ptr<SimControl> add(std::int32_t id, std::int32_t type, bool builtIn, bool temporary,
                                    std::optional<std::size_t> at = std::nullopt);
    void insert(std::shared_ptr<SimControl> control);
    void remove(const SimControl& control);
    void markDeleted();
    // Every control below this bar, popups' menus included, depth first.
    void walk(const std::function<void(const std::shared_ptr<SimControl>&)>& visit) const;
    // Takes away what is temporary, in this bar and in its popups' menus.
    void dropTemporary();

private:
    void check() const;

    std::weak_ptr<SimCommandBars> bars_;
    std::weak_ptr<SimControl> owner_;
    Shape shape_;
    bool deleted_ = false;
    std::int32_t position_;
    std::int32_t rowIndex_ = 1;
    std::int32_t left_ = 0;
    std::int32_t top_ = 0;
    bool visible_ = true;
    std::int32_t protection_ = 0;
    std::vector<std::shared_ptr<SimControl>> controls_;
};

// What one click did.
struct ClickOutcome {
    int handlers = 0;         // handlers reached
    bool cancelled = false;   // one of them set CancelDefault
    bool commandRan = false;  // the control's own command ran
};

class SimCommandBars final : public CommandBars, public std::enable_shared_from_this<SimCommandBars> {
public:
    // The host's own bars and controls.
    static std::shared_ptr<SimCommandBars> create();

    // The façade.
    CommandBarPtr Item(std::int32_t index) override;
    CommandBarPtr FindBar(const std::string& name) override;
    // A name already in use or a position other than 0 to 4 fails (5).
    CommandBarPtr Add(const std::string& Name, std::int32_t Position, bool MenuBar, bool Temporary) override;
    CommandBarControlPtr FindControl(const ControlCriteria& criteria) override;
    std::vector<CommandBarControlPtr> FindControls(const ControlCriteria& criteria) override;

    // The model.
    const std::vector<std::shared_ptr<SimCommandBar>>& bars() const { return bars_; }
    std::shared_ptr<SimCommandBar> bar(const std::string& name) const;
    // The first control with that Id; a built-in control with that Id is made
    // on the "Standard" toolbar when there is none.
    std::shared_ptr<SimControl> builtIn(std::int32_t id);
    // The first control with that tag, or empty.
    std::shared_ptr<SimControl> withTag(const std::string& tag) const;
    // What a built-in control does when it is clicked and not cancelled.
    void setCommand(std::int32_t id, std::function<void()> command);
    void setClipboard(std::shared_ptr<FaceClipboard> clipboard) { clipboard_ = std::move(clipboard); }
    FaceClipboard& clipboard();
    // The user clicks the control: its handlers, then its command. A control
    // that is disabled or deleted cannot be clicked (std::logic_error).
    ClickOutcome click(const std::shared_ptr<SimControl>& control);
    // The host closes: temporary bars and controls go.
    void closeSession();

    std::unique_ptr<EventConnection> advise(const std::shared_ptr<SimControl>& control, ButtonEvents& events);
    void unadvise(int cookie);
    void removeBar(const SimCommandBar& bar);

private:
    struct Handler {
        int cookie;
        std::weak_ptr<SimControl> control;
        ButtonEvents* events;
    };
    std::vector<std::shared_ptr<SimControl>> matching(const ControlCriteria& criteria, bool firstOnly) const;

    std::vector<std::shared_ptr<SimCommandBar>> bars_;
    std::vector<Handler> handlers_;
    int nextCookie_ = 1;
    std::map<std::int32_t, std::function<void()>> commands_;
    std::shared_ptr<FaceClipboard> clipboard_ = std::make_shared<MemoryFaceClipboard>();
};

}  // namespace kq::host::sim
