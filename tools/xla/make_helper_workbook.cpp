// Makes the helper workbook at build time:
//   kq_make_xla <project name> <output.xla> <module.bas>...
// Each module source is UTF-8 text; the workbook stores it in code page 932.

#include <cstdio>
#include <exception>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "common/ole/macro_workbook.h"
#include "tools/xla/helper_workbook.h"

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s <project name> <output.xla> <module.bas>...\n", argv[0]);
        return 2;
    }
    try {
        std::vector<std::string> sources;
        for (int i = 3; i < argc; ++i) {
            std::ifstream in(argv[i], std::ios::binary);
            if (!in) throw std::runtime_error(std::string("cannot read ") + argv[i]);
            std::ostringstream text;
            text << in.rdbuf();
            sources.push_back(text.str());
        }
        const kq::AnsiCodec& codec = kq::systemAnsiCodec();
        const auto bytes = kq::ole::writeMacroWorkbook(kq::xla::helperWorkbookSpec(argv[1], sources, codec), codec);
        std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) throw std::runtime_error(std::string("cannot write ") + argv[2]);
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kq_make_xla: %s\n", e.what());
        std::remove(argv[2]);
        return 1;
    }
}
