#pragma once
// The markup documents of tests/data/ribbon.

#include <fstream>
#include <sstream>
#include <string>

namespace kq::host::sim::ribbon::test {

// The file's bytes as stored.
inline std::string ribbonTestFile(const std::string& name) {
    std::ifstream in(std::string(KQ_TEST_DATA) + "/ribbon/" + name, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The file as an add-in hands it over: a decoded string, without a byte-order mark.
inline std::string ribbonTestMarkup(const std::string& name) {
    std::string all = ribbonTestFile(name);
    if (all.rfind("\xEF\xBB\xBF", 0) == 0) all.erase(0, 3);
    return all;
}

}  // namespace kq::host::sim::ribbon::test
