// ribbon_check: checks ribbon markup files against the custom-UI schema of
// their namespace, as the host reads them (see host/sim/ribbon).
//
//   ribbon_check <file>...
//
// Each file's problems go to standard output, one a line, after its name.
// Exit codes: 0 every file is sound; 1 a file is not; 2 no file was named or
// one could not be read.

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "host/sim/ribbon/custom_ui_schema.h"
#include "host/sim/ribbon/xml_reader.h"

namespace {

using namespace kq::host::sim::ribbon;

// 0 sound, 1 problems found, 2 unreadable.
int checkFile(const char* path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::printf("%s: cannot be read\n", path);
        return 2;
    }
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const XmlReading reading = readXml(bytes, XmlInput::bytes);
    if (!reading.root) {
        std::printf("%s: not well-formed: %s\n", path, reading.error.describe().c_str());
        return 1;
    }
    const auto problems = checkCustomUi(*reading.root);
    if (problems.empty()) {
        std::printf("%s: sound (%s)\n", path, reading.root->namespaceUri.c_str());
        return 0;
    }
    std::printf("%s:\n", path);
    for (const auto& p : problems) std::printf("  %s\n", p.describe().c_str());
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs("usage: ribbon_check <file>...\n", stderr);
        return 2;
    }
    int worst = 0;
    for (int i = 1; i < argc; ++i) worst = std::max(worst, checkFile(argv[i]));
    return worst;
}
