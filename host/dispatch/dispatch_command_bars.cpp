// The host's command bars over IDispatch, by the host's member names.

#include "host/dispatch/dispatch_events.h"
#include "host/dispatch/dispatch_objects.h"
#include "host/dispatch/variant_convert.h"

namespace kq::host::dispatch {

using win32::ComPtr;

namespace {

CommandBarPtr makeBar(ComPtr<IDispatch> object);

// What to look for, as the host's named arguments.
std::vector<Arg> criteriaArguments(const ControlCriteria& criteria) {
    std::vector<Arg> args;
    if (criteria.Id) args.push_back(named("Id", *criteria.Id));
    if (criteria.Tag) args.push_back(named("Tag", *criteria.Tag));
    return args;
}

ComPtr<IDispatch> findControl(Caller& on, const ControlCriteria& criteria) {
    std::vector<Arg> args = criteriaArguments(criteria);
    win32::Variant found = on.invoke("FindControl", DISPATCH_METHOD | DISPATCH_PROPERTYGET, args);
    return toObject(*found.get());
}

std::vector<CommandBarControlPtr> controlsOf(ComPtr<IDispatch> collection) {
    std::vector<CommandBarControlPtr> controls;
    if (!collection) return controls;
    Caller list(std::move(collection));
    const std::int32_t count = toLong(*list.get("Count").get());
    for (std::int32_t i = 1; i <= count; ++i) controls.push_back(makeControl(list.object("Item", i)));
    return controls;
}

class DispControl final : public CommandBarControl, public DispObject {
public:
    using DispObject::DispObject;
    bool Enabled() override { return flagOf("Enabled"); }
    std::int32_t Id() override { return numberOf("Id"); }
    std::int32_t Type() override { return numberOf("Type"); }
    std::string Caption() override { return textOf("Caption"); }
    void SetCaption(const std::string& caption) override { put("Caption", caption); }
    std::string Tag() override { return textOf("Tag"); }
    void SetTag(const std::string& tag) override { put("Tag", tag); }
    std::string OnAction() override { return textOf("OnAction"); }
    void SetOnAction(const std::string& action) override { put("OnAction", action); }
    bool BeginGroup() override { return flagOf("BeginGroup"); }
    void SetBeginGroup(bool begins) override { put("BeginGroup", begins); }
    std::int32_t Style() override { return numberOf("Style"); }
    void SetStyle(std::int32_t style) override { put("Style", style); }
    std::int32_t FaceId() override { return numberOf("FaceId"); }
    void SetFaceId(std::int32_t faceId) override { put("FaceId", faceId); }
    std::int32_t State() override { return numberOf("State"); }
    void SetState(std::int32_t state) override { put("State", state); }
    void CopyFace() override { run("CopyFace"); }
    void PasteFace() override { run("PasteFace"); }
    CommandBarPtr CommandBar() override {
        return guarded([&] { return makeBar(c_.object("CommandBar")); });
    }
    CommandBarControlPtr Copy(const CommandBarPtr& Bar) override {
        return guarded([&] {
            IDispatch* bar = dispatchOf(Bar);
            if (!bar) throw HostError(err::kTypeMismatch, "Type mismatch");
            return makeControl(c_.object("Copy", named("Bar", bar)));
        });
    }
    void Delete() override { run("Delete"); }
    std::unique_ptr<EventConnection> AdviseClick(ButtonEvents& events) override {
        return guarded([&] { return adviseButtonEvents(c_.object(), events); });
    }
};

class DispBar final : public CommandBar, public DispObject {
public:
    using DispObject::DispObject;
    std::string Name() override { return textOf("Name"); }
    std::int32_t Position() override { return numberOf("Position"); }
    void SetPosition(std::int32_t position) override { put("Position", position); }
    std::int32_t RowIndex() override { return numberOf("RowIndex"); }
    void SetRowIndex(std::int32_t row) override { put("RowIndex", row); }
    std::int32_t Left() override { return numberOf("Left"); }
    void SetLeft(std::int32_t left) override { put("Left", left); }
    std::int32_t Top() override { return numberOf("Top"); }
    void SetTop(std::int32_t top) override { put("Top", top); }
    bool Visible() override { return flagOf("Visible"); }
    void SetVisible(bool visible) override { put("Visible", visible); }
    std::int32_t Protection() override { return numberOf("Protection"); }
    void SetProtection(std::int32_t protection) override { put("Protection", protection); }
    std::vector<CommandBarControlPtr> Controls() override {
        return guarded([&] { return controlsOf(c_.object("Controls")); });
    }
    CommandBarControlPtr AddControl(std::int32_t Type, std::optional<std::int32_t> Before, bool Temporary) override {
        return guarded([&] {
            std::vector<Arg> args;
            args.push_back(named("Type", Type));
            args.push_back(named("Temporary", Temporary));
            if (Before) args.push_back(named("Before", *Before));
            Caller controls = c_.child("Controls");
            win32::Variant added = controls.invoke("Add", DISPATCH_METHOD | DISPATCH_PROPERTYGET, args);
            return makeControl(toObject(*added.get()));
        });
    }
    CommandBarControlPtr FindControl(const ControlCriteria& criteria) override {
        return guarded([&] { return makeControl(findControl(c_, criteria)); });
    }
    void Delete() override { run("Delete"); }
};

class DispBars final : public CommandBars, public DispObject {
public:
    using DispObject::DispObject;
    CommandBarPtr Item(std::int32_t index) override {
        return guarded([&] { return makeBar(c_.object("Item", index)); });
    }
    // The host answers a name it does not know with "invalid call" or "out of range".
    CommandBarPtr FindBar(const std::string& name) override {
        return guarded([&]() -> CommandBarPtr {
            try {
                return makeBar(c_.object("Item", name));
            } catch (const HostError& e) {
                if (e.number() == err::kInvalidCall || e.number() == err::kSubscriptOutOfRange) return {};
                throw;
            }
        });
    }
    CommandBarPtr Add(const std::string& Name, std::int32_t Position, bool MenuBar, bool Temporary) override {
        return guarded([&] {
            return makeBar(c_.object("Add", named("Name", Name), named("Position", Position), named("MenuBar", MenuBar),
                                     named("Temporary", Temporary)));
        });
    }
    CommandBarControlPtr FindControl(const ControlCriteria& criteria) override {
        return guarded([&] { return makeControl(findControl(c_, criteria)); });
    }
    // None found is Nothing, not an empty collection.
    std::vector<CommandBarControlPtr> FindControls(const ControlCriteria& criteria) override {
        return guarded([&] {
            std::vector<Arg> args = criteriaArguments(criteria);
            win32::Variant found = c_.invoke("FindControls", DISPATCH_METHOD | DISPATCH_PROPERTYGET, args);
            return controlsOf(toObject(*found.get()));
        });
    }
};

CommandBarPtr makeBar(ComPtr<IDispatch> object) {
    if (!object) return {};
    return std::make_shared<DispBar>(std::move(object));
}

}  // namespace

CommandBarControlPtr makeControl(ComPtr<IDispatch> object) {
    if (!object) return {};
    return std::make_shared<DispControl>(std::move(object));
}

CommandBarsPtr makeCommandBars(ComPtr<IDispatch> object) {
    if (!object) return {};
    return std::make_shared<DispBars>(std::move(object));
}

}  // namespace kq::host::dispatch
