#include "common/step_sequence.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "tests/support/threaded_work.h"

namespace kq {
namespace {

// A sequence over each kind of runner: work done at once, and work on a
// thread whose result comes back when the test lets it.
struct Runner {
    const char* name;
    std::unique_ptr<WorkRunner> (*make)();
};
const Runner kRunners[] = {
    {"here", [] { return std::unique_ptr<WorkRunner>(std::make_unique<WorkHere>()); }},
    {"thread", [] { return std::unique_ptr<WorkRunner>(std::make_unique<test::ThreadedWork>()); }},
};
void settle(WorkRunner& runner) {
    if (auto* threaded = dynamic_cast<test::ThreadedWork*>(&runner)) threaded->settle();
}

TEST(StepSequence, StepsRunInTheOrderTheCallsWereWrittenWhereverWorkWaits) {
    for (const Runner& r : kRunners) {
        SCOPED_TRACE(r.name);
        const std::unique_ptr<WorkRunner> runner = r.make();
        StepSequence steps(*runner);
        std::vector<std::string> log;
        const Connection started = steps.workStarts.connect([&] { log.push_back("shown"); });
        const Connection done = steps.done.connect([&] { log.push_back("done"); });
        const auto say = [&](std::string line) { steps.then([&log, line] { log.push_back(line); }); };
        // reload() { scan; cards(found); list() } written as calls, list() after the cards.
        const auto list = [&] {
            steps.then([&] {
                steps.work<int>([](std::stop_token) { return 7; },
                                [&](int rows) { log.push_back("list " + std::to_string(rows)); });
            });
        };
        steps.then([&] {
            say("remember");
            steps.then([&] {
                steps.work<std::string>([](std::stop_token) { return std::string("A"); }, [&](std::string card) {
                    log.push_back("cards " + card);
                    list();
                });
            });
            say("page");
        });
        // A command given meanwhile waits for the one before.
        say("next command");
        settle(*runner);
        EXPECT_FALSE(steps.busy());
        const std::vector<std::string> order{"remember", "shown", "cards A", "shown", "list 7", "page", "next command"};
        std::vector<std::string> steps_run;
        for (const std::string& line : log) {
            if (line != "done") steps_run.push_back(line);
        }
        EXPECT_EQ(steps_run, order);
        EXPECT_EQ(log.back(), "done");
    }
}

TEST(StepSequence, CancelDropsWhatWaitsAndThrowsTheWorksResultAway) {
    test::ThreadedWork runner;
    StepSequence steps(runner);
    int dones = 0;
    const Connection done = steps.done.connect([&] { ++dones; });
    std::vector<std::string> log;
    steps.then([&] {
        steps.work<int>(
            [](std::stop_token stop) {
                while (!stop.stop_requested()) std::this_thread::yield();
                return 1;
            },
            [&](int) { log.push_back("finished"); });
    });
    steps.then([&] { log.push_back("after"); });
    EXPECT_TRUE(steps.working());
    steps.cancel();
    runner.settle();
    EXPECT_TRUE(log.empty());
    EXPECT_FALSE(steps.busy());
    EXPECT_EQ(dones, 1);
    steps.then([&] { log.push_back("later"); });
    EXPECT_EQ(log, std::vector<std::string>{"later"});
}

TEST(StepSequence, AFailureEndsItsCommandAndTheNextOneRuns) {
    for (const Runner& r : kRunners) {
        SCOPED_TRACE(r.name);
        const std::unique_ptr<WorkRunner> runner = r.make();
        StepSequence steps(*runner);
        std::vector<std::string> log;
        const auto failing = [&] {
            steps.then([&] {
                steps.work<int>([](std::stop_token) -> int { throw std::runtime_error("disk gone"); },
                                [&](int) { log.push_back("finished"); });
                steps.then([&] { log.push_back("rest of the command"); });
            });
        };
        if (dynamic_cast<test::ThreadedWork*>(runner.get())) {
            failing();
            EXPECT_THROW(settle(*runner), std::runtime_error);
        } else {
            EXPECT_THROW(failing(), std::runtime_error);
        }
        EXPECT_FALSE(steps.busy());
        steps.then([&] { log.push_back("next"); });
        EXPECT_EQ(log, std::vector<std::string>{"next"});
    }
}

}  // namespace
}  // namespace kq
