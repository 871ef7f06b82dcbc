#pragma once
// A range of the simulated host: a worksheet and areas of its cells. Like the
// host's, a range made earlier follows rows and columns inserted or deleted
// since, and once all its cells are deleted every read fails.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "host/host.h"
#include "host/sim/a1_address.h"

namespace kq::host::sim {

class SimWorksheet;
class SimClipboard;

class SimRange final : public Range {
public:
    SimRange(std::shared_ptr<SimWorksheet> sheet, std::vector<CellRect> areas);

    std::string Address() override;
    std::vector<RangePtr> Areas() override;
    std::int32_t Count() override;
    std::int32_t Row() override;
    std::int32_t Column() override;
    std::int32_t RowsCount() override;
    std::int32_t ColumnsCount() override;
    RangePtr Cells(std::int32_t row, std::int32_t column) override;
    RangePtr Item(std::int32_t index) override;
    RangePtr Offset(std::int32_t rows, std::int32_t columns) override;
    RangePtr EntireRow() override;
    RangePtr EntireColumn() override;
    Value CellValue() override;
    std::string Text() override;
    WorksheetPtr Parent() override;
    void Activate() override;
    void Select() override;
    void CopyPicture(std::int32_t appearance, std::int32_t format) override;
    void Copy() override;

    // The areas as they are now; throws HostError 424 when the cells are gone.
    const std::vector<CellRect>& areas();
    const std::shared_ptr<SimWorksheet>& sheet() const { return sheet_; }

private:
    CellRect copiedArea(const char* method);
    SimClipboard& clipboardFor(const char* method);
    void keepCopy(const CellRect& area, bool picture);
    RangePtr cellAt(std::int64_t row, std::int64_t column);
    void requireActiveSheet();

    std::shared_ptr<SimWorksheet> sheet_;
    std::vector<CellRect> areas_;
    std::size_t editsSeen_ = 0;
};

}  // namespace kq::host::sim
