#pragma once
// The façade objects for what a worksheet holds besides cells: its page setup,
// shapes and comments. Each reads the sheet's data as it is when asked.

#include <memory>
#include <string>
#include <vector>

#include "host/host.h"
#include "host/sim/sheet_data.h"

namespace kq::host::sim {

class SimWorksheet;

class SimPageSetup final : public PageSetup {
public:
    explicit SimPageSetup(std::shared_ptr<SimWorksheet> sheet) : sheet_(std::move(sheet)) {}

    std::string PrintArea() override;
    std::string PrintTitleRows() override;
    std::string PrintTitleColumns() override;
    std::string LeftHeader() override { return data().leftHeader; }
    std::string CenterHeader() override { return data().centerHeader; }
    std::string RightHeader() override { return data().rightHeader; }
    std::string LeftFooter() override { return data().leftFooter; }
    std::string CenterFooter() override { return data().centerFooter; }
    std::string RightFooter() override { return data().rightFooter; }
    double LeftMargin() override { return data().leftMargin; }
    double RightMargin() override { return data().rightMargin; }
    double TopMargin() override { return data().topMargin; }
    double BottomMargin() override { return data().bottomMargin; }
    double HeaderMargin() override { return data().headerMargin; }
    double FooterMargin() override { return data().footerMargin; }
    bool CenterHorizontally() override { return data().centerHorizontally; }
    bool CenterVertically() override { return data().centerVertically; }
    std::int32_t Orientation() override { return data().orientation; }
    std::int32_t PaperSize() override { return data().paperSize; }
    std::int32_t FirstPageNumber() override { return data().firstPageNumber; }
    std::int32_t Order() override { return data().order; }
    std::int32_t PrintComments() override { return data().printComments; }

private:
    const PageSetupData& data();

    std::shared_ptr<SimWorksheet> sheet_;
};

class SimShape final : public Shape {
public:
    SimShape(std::shared_ptr<SimWorksheet> sheet, std::shared_ptr<ShapeData> data)
        : sheet_(std::move(sheet)), data_(std::move(data)) {}

    std::string Name() override { return data().name; }
    bool Visible() override { return data().visible; }
    std::int32_t Type() override { return data().type; }
    RangePtr TopLeftCell() override;
    RangePtr BottomRightCell() override;
    // Fails (1004) for a shape that is no group.
    std::vector<ShapePtr> GroupItems() override;
    std::string DrawingObjectCaption() override { return text(data().caption); }
    std::string DrawingObjectObjectText() override { return text(data().objectText); }
    std::string DrawingObjectObjectCaption() override { return text(data().objectCaption); }
    std::string TextEffectText() override { return text(data().effectText); }

private:
    const ShapeData& data();
    std::string text(const std::optional<std::string>& source);

    std::shared_ptr<SimWorksheet> sheet_;
    std::shared_ptr<ShapeData> data_;
};

class SimComment final : public Comment {
public:
    SimComment(std::shared_ptr<SimWorksheet> sheet, std::shared_ptr<CommentData> data)
        : sheet_(std::move(sheet)), data_(std::move(data)) {}

    RangePtr Parent() override;
    std::string Text() override { return data().text; }
    std::string Author() override { return data().author; }

private:
    const CommentData& data();

    std::shared_ptr<SimWorksheet> sheet_;
    std::shared_ptr<CommentData> data_;
};

}  // namespace kq::host::sim
