#pragma once
// The calls running inside an object that its own calls may end: a window
// whose click closes it, entered again while the click runs (a message sent
// from inside the handler). An ended object is deleted once the outermost of
// its calls has returned, never while one runs; an object deleted outright
// meanwhile (by whoever holds it) is touched by none of them afterwards.
//
//   NestedCalls::Frame frame(object.calls);  // on the stack of each call
//   object.handle(...);                      // may end the object, or delete it
//   if (frame.leave()) delete &object;       // ended during this, the outermost, call

namespace kq {

class NestedCalls {
public:
    class Frame {
    public:
        explicit Frame(NestedCalls& calls) noexcept;
        // Unlinked if leave() was not called: a pending deletion then waits for the next outermost call.
        ~Frame();
        Frame(const Frame&) = delete;
        Frame& operator=(const Frame&) = delete;

        // The call is over. True when the caller is to delete the object now:
        // it was ended during this call, the outermost one. False once the
        // object is gone: nothing of it is touched.
        [[nodiscard]] bool leave() noexcept;

    private:
        friend class NestedCalls;
        NestedCalls* calls_;  // null once left, or once the object is gone
        Frame* outer_;
    };

    NestedCalls() = default;
    NestedCalls(const NestedCalls&) = delete;
    NestedCalls& operator=(const NestedCalls&) = delete;
    // The calls still running learn that the object is gone.
    ~NestedCalls();

    // The object is ended and to be deleted. True when no call runs inside
    // it, so the caller deletes it now; otherwise the outermost call does.
    [[nodiscard]] bool end() noexcept;

    // How many calls run inside the object now.
    int depth() const noexcept;

private:
    Frame* innermost_ = nullptr;
    bool deletePending_ = false;
};

}  // namespace kq
