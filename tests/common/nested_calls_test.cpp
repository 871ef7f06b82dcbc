#include "common/nested_calls.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace kq {
namespace {

// An object held on the heap whose calls may end it, as a window that owns
// itself is ended by its own handlers. What happened is kept outside it, so
// that it can be read once the object is gone.
struct Log {
    std::vector<std::string> events;
    bool gone = false;
};

class Object {
public:
    explicit Object(Log& log) : log_(log) {}
    ~Object() { log_.gone = true; }

    // A call as the window procedure makes it: `body` runs inside, then the
    // object is deleted when it was ended and this was the outermost call.
    static void call(Object* self, const std::function<void(Object&)>& body) {
        NestedCalls::Frame frame(self->calls_);
        Log& log = self->log_;
        body(*self);
        if (frame.leave()) {
            log.events.push_back("deleted after the call");
            delete self;
        }
    }
    static void callThrowing(Object* self, const std::function<void(Object&)>& body) {
        NestedCalls::Frame frame(self->calls_);
        body(*self);
        throw std::runtime_error("call failed");
    }
    // Ended as its window is destroyed: deleted now unless a call runs inside it.
    static void end(Object* self) {
        if (self->calls_.end()) {
            self->log_.events.push_back("deleted at once");
            delete self;
        }
    }

    // What a handler does after it ended the object: reads and writes it.
    void touch() { log_.events.push_back("touched at depth " + std::to_string(calls_.depth())); }

private:
    Log& log_;
    NestedCalls calls_;
};

TEST(NestedCalls, AnEndedObjectGoesOnceItsOutermostCallHasReturned) {
    const struct {
        const char* name;
        std::function<void(Object*)> run;
        std::vector<std::string> events;
    } cases[] = {
        {"ended outside any call", [](Object* o) { Object::end(o); }, {"deleted at once"}},
        {"ended by its own call",
         [](Object* o) {
             Object::call(o, [](Object& self) {
                 Object::end(&self);
                 self.touch();
             });
         },
         {"touched at depth 1", "deleted after the call"}},
        {"ended by a call inside a call",
         [](Object* o) {
             Object::call(o, [](Object& self) {
                 Object::call(&self, [](Object& inner) {
                     Object::end(&inner);
                     inner.touch();
                 });
                 self.touch();
             });
         },
         {"touched at depth 2", "touched at depth 1", "deleted after the call"}},
        {"ended twice by two calls",
         [](Object* o) {
             Object::call(o, [](Object& self) {
                 Object::call(&self, [](Object& inner) { Object::end(&inner); });
                 Object::end(&self);
                 self.touch();
             });
         },
         {"touched at depth 1", "deleted after the call"}},
        {"calls that end nothing, then an end",
         [](Object* o) {
             Object::call(o, [](Object& self) { Object::call(&self, [](Object& inner) { inner.touch(); }); });
             o->touch();
             Object::end(o);
         },
         {"touched at depth 2", "touched at depth 0", "deleted at once"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Log log;
        c.run(new Object(log));
        EXPECT_TRUE(log.gone);
        EXPECT_EQ(log.events, c.events);
    }
}

// Whoever holds the object deletes it while its calls run (the owner of a
// window that does not own itself): the calls touch nothing of it after.
TEST(NestedCalls, AnObjectDeletedOutrightIsNotTouchedByTheCallsStillRunning) {
    Log log;
    auto* object = new Object(log);
    Object::call(object, [](Object& self) {
        Object::call(&self, [](Object& inner) { delete &inner; });
    });
    EXPECT_TRUE(log.gone);
    EXPECT_TRUE(log.events.empty());
}

// A call left by an exception, without leave(), unlinks itself: the next
// outermost call deletes the object it ended.
TEST(NestedCalls, ACallLeftByAnExceptionLeavesTheDeletionToTheNextCall) {
    Log log;
    auto* object = new Object(log);
    try {
        Object::callThrowing(object, [](Object& self) { Object::end(&self); });
    } catch (const std::runtime_error&) {
    }
    EXPECT_FALSE(log.gone);
    Object::call(object, [](Object& self) { self.touch(); });
    EXPECT_TRUE(log.gone);
    EXPECT_EQ(log.events, (std::vector<std::string>{"touched at depth 1", "deleted after the call"}));
}

}  // namespace
}  // namespace kq
