#pragma once
// Runs a scenario script against the simulated host, with the COM add-ins
// loaded as the host loads them. The language is described at the top of
// scenario_runner.cpp.

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "tools/simhost/scenario_script.h"
#include "tools/simhost/transcript.h"

namespace kq::simhost {

class ScenarioRunner {
public:
    // Relative paths in the script are taken from `scriptFolder`.
    ScenarioRunner(Transcript& transcript, std::string scriptFolder);
    ~ScenarioRunner();
    ScenarioRunner(const ScenarioRunner&) = delete;
    ScenarioRunner& operator=(const ScenarioRunner&) = delete;

    // Runs every line, then closes the host as `quit` does. False when an
    // `expect` did not hold.
    bool run(const std::vector<ScriptLine>& script);

private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace kq::simhost
