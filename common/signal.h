#pragma once
// How a model tells whoever shows it what changed, without knowing them.
//
//   class Box { public: Signal<> changed; ... changed(); };
//   class BoxWindow { Connection onChanged_ = box_.changed.connect([this] { redraw(); }); };
//
// A connection is a move-only owner: when it goes, its slot is disconnected,
// so a window that holds its connections as members is never called once it
// is gone. When the signal goes first, the connection becomes inert. An
// emission calls the slots connected when it started, in the order they were
// connected; a slot may disconnect itself or another slot (which is then not
// called), connect new ones (called from the next emission on), or destroy
// the signal's owner. One thread: signals are not for crossing threads.

#include <cstddef>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace kq {

namespace detail {

struct SlotBase {
    virtual ~SlotBase() = default;
    bool connected = true;
};

// The slots of one signal, shared with its connections only weakly.
struct SlotList {
    std::vector<std::shared_ptr<SlotBase>> slots;

    void remove(const SlotBase* slot) {
        for (auto it = slots.begin(); it != slots.end(); ++it) {
            if (it->get() == slot) {
                slots.erase(it);
                return;
            }
        }
    }
};

template <typename... Args>
struct Slot final : SlotBase {
    explicit Slot(std::function<void(Args...)> call) : call(std::move(call)) {}
    std::function<void(Args...)> call;
};

}  // namespace detail

class Connection {
public:
    Connection() = default;
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    Connection(Connection&& other) noexcept
        : list_(std::exchange(other.list_, {})), slot_(std::exchange(other.slot_, {})) {}
    Connection& operator=(Connection&& other) noexcept {
        if (this != &other) {
            disconnect();
            list_ = std::exchange(other.list_, {});
            slot_ = std::exchange(other.slot_, {});
        }
        return *this;
    }
    ~Connection() { disconnect(); }

    // The slot is not called again, not even by an emission under way.
    void disconnect() noexcept {
        if (const std::shared_ptr<detail::SlotBase> slot = slot_.lock()) {
            slot->connected = false;
            if (const std::shared_ptr<detail::SlotList> list = list_.lock()) list->remove(slot.get());
        }
        list_.reset();
        slot_.reset();
    }
    // False once disconnected, or once the signal has gone.
    bool connected() const noexcept {
        const std::shared_ptr<detail::SlotBase> slot = slot_.lock();
        return slot && slot->connected && !list_.expired();
    }

private:
    template <typename...>
    friend class Signal;
    Connection(std::weak_ptr<detail::SlotList> list, std::weak_ptr<detail::SlotBase> slot)
        : list_(std::move(list)), slot_(std::move(slot)) {}

    std::weak_ptr<detail::SlotList> list_;
    std::weak_ptr<detail::SlotBase> slot_;
};

template <typename... Args>
class Signal {
public:
    Signal() = default;
    Signal(const Signal&) = delete;
    Signal& operator=(const Signal&) = delete;
    // A moved signal takes its connections along.
    Signal(Signal&&) noexcept = default;
    Signal& operator=(Signal&&) noexcept = default;

    // Keep the connection: the slot stays connected only while it lives.
    [[nodiscard]] Connection connect(std::function<void(Args...)> call) {
        if (!list_) list_ = std::make_shared<detail::SlotList>();
        auto slot = std::make_shared<detail::Slot<Args...>>(std::move(call));
        list_->slots.push_back(slot);
        return Connection(list_, slot);
    }

    // Calls the slots connected now. The signal may be gone when this returns.
    void operator()(Args... args) const {
        if (!list_ || list_->slots.empty()) return;
        // A copy: the slots may change the list, or destroy it with the signal.
        const std::vector<std::shared_ptr<detail::SlotBase>> calling = list_->slots;
        for (const std::shared_ptr<detail::SlotBase>& slot : calling) {
            if (!slot->connected) continue;
            auto& typed = static_cast<detail::Slot<Args...>&>(*slot);
            if (typed.call) typed.call(args...);
        }
    }

    std::size_t slotCount() const noexcept { return list_ ? list_->slots.size() : 0; }

private:
    std::shared_ptr<detail::SlotList> list_;
};

}  // namespace kq
