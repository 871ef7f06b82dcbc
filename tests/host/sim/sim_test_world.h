#pragma once
// A simulated host with one workbook of two worksheets, on an in-memory file
// system, and an event sink that writes down what it hears.

#include <memory>
#include <string>
#include <vector>

#include "host/sim/sim_application.h"
#include "tests/support/memory_file_system.h"

namespace kq::host::sim::test {

struct SimWorld {
    explicit SimWorld(const std::string& version = "16.0") : app(SimApplication::create(files, version)) {
        files.addDirectory("C:\\books");
        book = app->addWorkbook("Book1.xls", "C:\\books");
        sheet1 = book->addWorksheet("Sheet1");
        sheet2 = book->addWorksheet("Sheet2");
    }

    kq::test::MemoryFileSystem files;
    std::shared_ptr<SimApplication> app;
    std::shared_ptr<SimWorkbook> book;
    std::shared_ptr<SimWorksheet> sheet1;
    std::shared_ptr<SimWorksheet> sheet2;
};

// Each event as "Name argument", such as "SheetActivate Sheet2".
class EventLog final : public ApplicationEvents {
public:
    void WorkbookBeforePrint(const WorkbookPtr& wb) override { seen.push_back("WorkbookBeforePrint " + wb->Name()); }
    void WorkbookBeforeSave(const WorkbookPtr& wb) override { seen.push_back("WorkbookBeforeSave " + wb->Name()); }
    void WorkbookOpen(const WorkbookPtr& wb) override { seen.push_back("WorkbookOpen " + wb->Name()); }
    void NewWorkbook(const WorkbookPtr& wb) override { seen.push_back("NewWorkbook " + wb->Name()); }
    void WorkbookActivate(const WorkbookPtr& wb) override { seen.push_back("WorkbookActivate " + wb->Name()); }
    void WindowActivate(const WorkbookPtr& wb, const WindowPtr&) override { seen.push_back("WindowActivate " + wb->Name()); }
    void WindowDeactivate(const WorkbookPtr& wb, const WindowPtr&) override {
        seen.push_back("WindowDeactivate " + wb->Name());
    }
    void SheetActivate(const SheetPtr& sh) override { seen.push_back("SheetActivate " + sh->Name()); }

    std::vector<std::string> seen;
};

}  // namespace kq::host::sim::test
