#include "addin/recording/save_history.h"

#include <algorithm>
#include <map>
#include <optional>
#include <set>
#include <utility>
#include <variant>
#include <vector>

#include "addin/core/addin_state.h"
#include "addin/core/texts.h"
#include "addin/recording/page_images.h"
#include "addin/recording/recorder_lists.h"
#include "addin/recording/shape_texts.h"
#include "common/history_writer.h"
#include "common/temp_paths.h"
#include "common/vb.h"

namespace kq::addin::recording {

namespace {

// Built-in controls: disabled when no workbook can be printed, and while a cell is being edited.
constexpr std::int32_t kControlPrintable = 748;
constexpr std::int32_t kControlEditingOff = 18;
constexpr std::int32_t kConfirmButtons = msgbox::kTopmost | msgbox::kQuestion | msgbox::kOkCancel;
constexpr unsigned kErrorBox = mb::kOkOnly | mb::kIconCritical;
constexpr int kMaxHeadingCells = 10;

template <typename Step>
void quietly(Step&& step) noexcept {
    try {
        step();
    } catch (...) {
    }
}

template <typename Step>
class ScopeExit {
public:
    explicit ScopeExit(Step step) : step_(std::move(step)) {}
    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;
    ~ScopeExit() { quietly(step_); }

private:
    Step step_;
};

// A date as the runtime writes it in the Japanese locale: yyyy/mm/dd, the
// time after it when there is one, the time alone on the zero date.
std::string dateText(double oleDate) {
    const std::optional<vb::DateTime> dt = vb::FromOleDate(oleDate);
    if (!dt) return vb::NumberText(oleDate);
    const bool zeroDate = dt->year == 1899 && dt->month == 12 && dt->day == 30;
    const bool hasTime = dt->hour != 0 || dt->minute != 0 || dt->second != 0;
    if (zeroDate) return vb::FormatDate(*dt, "h:nn:ss");
    std::string text = vb::FormatDate(*dt, "yyyy/mm/dd");
    if (hasTime) {
        text += ' ';
        text += vb::FormatDate(*dt, "h:nn:ss");
    }
    return text;
}

// A cell's value as the runtime turns a value into text; an error value,
// which the runtime would refuse, as the cell shows it (#N/A and the like).
std::string valueText(host::Range& cell) {
    const host::Value value = cell.CellValue();
    if (std::holds_alternative<host::Empty>(value)) return {};
    if (const double* number = std::get_if<double>(&value)) return vb::NumberText(*number);
    if (const std::string* text = std::get_if<std::string>(&value)) return *text;
    if (const bool* flag = std::get_if<bool>(&value)) return *flag ? "True" : "False";
    if (const host::Date* date = std::get_if<host::Date>(&value)) return dateText(date->value);
    return cell.Text();
}

std::string blockName(HistoryBlock block) {
    switch (block) {
        case HistoryBlock::header:
            return "header";
        case HistoryBlock::headings:
            return "heading";
        case HistoryBlock::pages:
            return "page";
        case HistoryBlock::pageTexts:
            return "page text";
        case HistoryBlock::shapes:
            return "shape";
        case HistoryBlock::comments:
            return "comment";
        case HistoryBlock::errorLines:
            return "error line";
    }
    return {};
}

// What the writer had to leave out, as an error line of the same file.
std::string cutLine(const HistoryCut& cut) {
    if (cut.field.empty()) return texts::WithName(texts::kTooManyRecords, blockName(cut.block));
    std::string place = blockName(cut.block);
    if (cut.block != HistoryBlock::header) {
        place += ' ';
        place += std::to_string(cut.record + 1);
    }
    place += ' ';
    place += cut.field;
    return texts::WithName(texts::kTextTooLong, place);
}

std::int32_t lastRowOf(host::Range& range) { return range.Row() + range.RowsCount() - 1; }
std::int32_t lastColumnOf(host::Range& range) { return range.Column() + range.ColumnsCount() - 1; }

// A page as it goes into the history file: its one piece, or its pieces put
// together.
struct PageImage {
    std::int32_t page = 0;
    const std::vector<std::uint8_t>* piece = nullptr;  // the one piece, as colPages keeps it
    std::vector<std::uint8_t> composed;
    const std::vector<std::uint8_t>& bytes() const { return piece ? *piece : composed; }
};

class PageImages final : public HistoryPageSource {
public:
    explicit PageImages(const std::vector<PageImage>& pages) : pages_(pages) {}

    bool readPage(std::size_t index, std::vector<std::uint8_t>& bytes) override {
        const std::vector<std::uint8_t>& page = pages_.at(index).bytes();
        bytes.assign(page.begin(), page.end());
        return true;
    }

private:
    const std::vector<PageImage>& pages_;
};

struct Heading {
    std::string title;
    std::string source;
    std::int32_t type = 0;
};

// How the recording of one sheet ended.
enum class SheetOutcome {
    recorded,
    noPage,   // nothing to write; the next sheet is recorded all the same
    runEnds,  // its error line ends the run
};

// One recording run, from the preconditions to the end steps.
class Run {
public:
    explicit Run(RecorderWorld& world)
        : w_(world), app_(*world.application), sys_(world.system), temp_(sys_.files(), sys_.prompts(), world.title) {}

    void go() {
        try {
            if (preconditionsHold() && storeAndConfirm()) recordSelectedSheets();
        } catch (const host::HostError& e) {
            lists_.colErrors.push_back(texts::RuntimeErrorLine(e.number()));
        } catch (const std::exception& e) {
            lists_.colErrors.push_back(texts::WithName(texts::kUnexpected, e.what()));
        } catch (...) {
            lists_.colErrors.emplace_back(texts::kUnexpected);
        }
        endSteps();
    }

private:
    bool fail(std::string line) {
        lists_.colErrors.push_back(std::move(line));
        return false;
    }

    bool preconditionsHold() {
        book_ = app_.ActiveWorkbook();
        if (!book_) return fail(std::string(texts::kNoActiveWorkbook));
        const std::string bookName = book_->Name();
        const host::WindowPtr window = app_.ActiveWindow();
        if (!window) return fail(texts::WithName(texts::kNoActiveWindow, bookName));
        // A selection that is no cell range (a shape, say) is still a selection.
        host::RangePtr selection;
        if (host::ignoreErrors([&] { selection = app_.Selection(); }) && !selection) {
            return fail(texts::WithName(texts::kNoSelection, bookName));
        }
        if (window->WindowState() == host::xlMinimized) return fail(texts::WithName(texts::kWindowState, bookName));
        const host::CommandBarControlPtr printable = app_.FindControl(kControlPrintable);
        if (!printable || !printable->Enabled()) return fail(std::string(texts::kNoActiveWorkbook));
        const host::CommandBarControlPtr editingOff = app_.FindControl(kControlEditingOff);
        if (!editingOff || !editingOff->Enabled()) return fail(texts::WithName(texts::kNowEditing, bookName));
        return true;
    }

    // False when the user cancelled.
    bool storeAndConfirm() {
        try {
            w_.docPros.SaveToDocProps(book_, nullptr);
        } catch (const WatchNotStored& e) {
            // The watches are in memory all the same: a watch the workbook
            // would not take must not leave this print, or every later one
            // of the workbook, unrecorded. It is said at the end.
            watchRefused_ = texts::WithName(e.what(), e.sheetName());
            lists_.colErrors.push_back(*watchRefused_);
        }
        if (!w_.setting.ShowMessageWhenPrintRun()) return true;
        const std::int32_t answer = sys_.MsgBoxEx({.Prompt = std::string(texts::kConfirm),
                                                   .Buttons = kConfirmButtons,
                                                   .Title = w_.title,
                                                   .Reserved1 = {},
                                                   .Reserved2 = {},
                                                   .ShowCheck = true,
                                                   .CheckValue = true,
                                                   .CheckCaption = std::string(texts::kShowNextTime)});
        if ((answer & msgbox::kChecked) == 0) w_.setting.ShowMessageWhenPrintRun(false);
        if ((answer & msgbox::kCancel) != 0) {
            completed_ = true;
            return false;
        }
        return true;
    }

    void recordSelectedSheets() {
        const host::WindowPtr window = app_.ActiveWindow();
        if (!window) return;
        bool everySheetRecorded = true;
        for (const host::SheetPtr& sheet : window->SelectedSheets()) {
            const host::WorksheetPtr worksheet = sheet->AsWorksheet();
            if (!worksheet) continue;
            const std::shared_ptr<c_Xl_DocPro> record = w_.docPros.Find(worksheet);
            if (!record || record->Released()) continue;
            const SheetOutcome outcome = recordSheet(worksheet, *record);
            if (outcome == SheetOutcome::runEnds) return;
            if (outcome == SheetOutcome::noPage) everySheetRecorded = false;
        }
        // A sheet that gave no page leaves the run to end in the error box,
        // which lists its line, once the other sheets have their files.
        if (!everySheetRecorded) return;
        if (w_.setting.ShowProgressTime() > 0) sys_.ShowFinished(w_.setting.ShowProgressTime());
        if (headingError_) sys_.prompts().message(texts::kHeadingError, w_.title, kErrorBox);
        if (watchRefused_) sys_.prompts().message(*watchRefused_, w_.title, mb::kOkOnly | mb::kIconExclamation);
        completed_ = true;
    }

    SheetOutcome recordSheet(const host::WorksheetPtr& sheet, const c_Xl_DocPro& record) {
        const std::string category = record.Category();
        const std::string sheetId = record.SheetId();
        const std::string versionId = record.VersionId();
        const std::string saveRange = record.SaveRange();
        std::vector<Heading> headings;
        for (int i = 1; i <= record.TitleCount(); ++i) {
            Heading& heading =
                headings.emplace_back(Heading{record.TitleText(i), record.ValueRange(i), record.CellLinkValueType(i)});
            if (heading.source == kDeletedRangeText) {
                lists_.colErrors.push_back(texts::WithName(texts::kRef, heading.title));
                headingError_ = true;
            }
        }

        lists_.newSheet();
        app_.SetStatusBar(std::string(texts::kSaving));

        const host::PageSetupPtr setup = sheet->PageSetup();
        const host::RangePtr printRange = printRangeOf(*sheet, *setup, saveRange);
        if (!printRange) return SheetOutcome::runEnds;
        host::RangePtr titleRows;
        host::RangePtr titleColumns;
        host::ignoreErrors([&] { titleRows = sheet->Range(setup->PrintTitleRows()); });
        host::ignoreErrors([&] { titleColumns = sheet->Range(setup->PrintTitleColumns()); });

        {
            ClipboardKeeper keeper;
            keeper.BackupClipboard(sys_.userClipboard());
            const ScopeExit restore([&] { keeper.RestoreClipboard(sys_.userClipboard()); });
            headingValues(*sheet, headings);
            sys_.clipboard().clear();
            PageServices services{app_, sys_.clipboard(), temp_, sys_.codec()};
            MakePageImages(services, lists_, printRange, titleRows, titleColumns, setup->Order());
            for (const host::ShapePtr& shape : sheet->Shapes()) {
                CollectShapeText(app_, lists_, shape, printRange, titleRows, titleColumns, false, {}, {});
            }
            if (setup->PrintComments() != host::xlPrintNoComments) {
                for (const host::CommentPtr& comment : sheet->Comments()) {
                    CollectCommentText(app_, lists_, comment, printRange, titleRows, titleColumns);
                }
            }
        }

        const std::vector<PageImage> pages = composePages();
        if (pages.empty()) {
            std::string name;
            host::ignoreErrors([&] { name = sheet->Name(); });
            fail(texts::WithName(texts::kNoPage, name));
            return SheetOutcome::noPage;
        }

        HistoryRecords records;
        HistoryFileHeader& h = records.header;
        h.strVersion = w_.version;
        h.dblExcelVersion = vb::Val(app_.Version());
        h.lngOSVersion = sys_.GetOS();
        h.strCategory = category;
        h.strSheetId = sheetId;
        h.strVersionId = versionId;
        h.strHistoryId = w_.docPros.CalcNewId();
        h.strSaveRange = saveRange;
        host::ignoreErrors([&] {
            const host::WorkbookPtr book = sheet->Parent();
            h.strBookPath = book->Path();
            h.strBookName = book->Name();
        });
        host::ignoreErrors([&] { h.strSheetName = sheet->Name(); });
        host::ignoreErrors([&] { h.strExcelUserName = app_.UserName(); });
        h.datPrintDate = vb::ToOleDate(w_.clock.now()).value_or(0);
        host::ignoreErrors([&] { h.strPrinterName = app_.ActivePrinter(); });
        h.strLeftHeader = setup->LeftHeader();
        h.strCenterHeader = setup->CenterHeader();
        h.strRightHeader = setup->RightHeader();
        h.strLeftFooter = setup->LeftFooter();
        h.strCenterFooter = setup->CenterFooter();
        h.strRightFooter = setup->RightFooter();
        if (titleRows) h.strPrintTitleRows = titleRows->Address();
        if (titleColumns) h.strPrintTitleColumns = titleColumns->Address();
        h.dblLeftMargin = setup->LeftMargin();
        h.dblRightMargin = setup->RightMargin();
        h.dblTopMargin = setup->TopMargin();
        h.dblBottomMargin = setup->BottomMargin();
        h.dblHeaderMargin = setup->HeaderMargin();
        h.dblFooterMargin = setup->FooterMargin();
        h.blnCenterHorizontally = setup->CenterHorizontally();
        h.blnCenterVertically = setup->CenterVertically();
        h.lngOrientation = setup->Orientation();
        h.lngPaperSize = setup->PaperSize();
        h.lngFirstPageNumber = setup->FirstPageNumber();
        h.lngOrder = setup->Order();

        records.headings = lists_.colTitles;
        records.pageTexts = pageTexts(pages);
        records.shapes = lists_.colShapes;
        records.comments = lists_.colComments;
        return writeHistory(records, pages) ? SheetOutcome::recorded : SheetOutcome::runEnds;
    }

    // The range to record; none after its error line, and none without a
    // line for an empty sheet.
    host::RangePtr printRangeOf(host::Worksheet& sheet, host::PageSetup& setup, const std::string& saveRange) {
        host::RangePtr range;
        if (!saveRange.empty()) {
            host::ignoreErrors([&] { range = sheet.Range(saveRange); });
            if (!range) fail(texts::WithName(texts::kNoUserPrintArea, sheet.Parent()->Name()));
            return range;
        }
        host::ignoreErrors([&] { range = sheet.Range(setup.PrintArea()); });
        if (!range) {
            host::ignoreErrors([&] {
                const host::RangePtr used = sheet.UsedRange();
                range = sheet.Range(areaAddress(1, 1, lastRowOf(*used), lastColumnOf(*used)));
            });
        }
        if (!range) {
            fail(texts::WithName(texts::kNoPrintArea, sheet.Parent()->Name()));
            return nullptr;
        }
        if (range->RowsCount() == 1 && range->ColumnsCount() == 1 &&
            std::holds_alternative<host::Empty>(range->CellValue())) {
            return nullptr;
        }
        return range;
    }

    // A source that names cells gives the texts of its first cells, joined;
    // any other source is kept as it stands: a literal text is its own value,
    // and "#REF" says that the heading's cells are gone.
    void headingValues(host::Worksheet& sheet, const std::vector<Heading>& headings) {
        for (const Heading& heading : headings) {
            UserHeadingRecord entry{heading.title, heading.source, {}, heading.type};
            host::RangePtr cells;
            const bool named = host::ignoreErrors([&] {
                cells = sheet.Range(heading.source);
                if (cells) cells->Address();
            });
            if (named && cells) {
                int counter = 0;
                for (const host::RangePtr& area : cells->Areas()) {
                    // Not the area's Count: the host counts cells in 32 bits, and
                    // a range of many whole rows holds more than that.
                    const std::int64_t count = std::int64_t{area->RowsCount()} * area->ColumnsCount();
                    for (std::int64_t i = 1; i <= count && counter < kMaxHeadingCells; ++i) {
                        const host::RangePtr cell = area->Item(static_cast<std::int32_t>(i));
                        ++counter;
                        entry.strValue += heading.type == 1 ? cell->Text() : valueText(*cell);
                    }
                    if (counter >= kMaxHeadingCells) break;
                }
            } else if (heading.source != kDeletedRangeText) {
                entry.strValue = heading.source;
            }
            lists_.colTitles.push_back(std::move(entry));
        }
    }

    // The pages whose pieces are all there, in the order in which their last
    // piece was captured; a page of several pieces put together.
    std::vector<PageImage> composePages() {
        std::vector<PageImage> pages;
        std::map<std::int32_t, std::vector<const PageEntry*>> collected;
        for (const PageEntry& piece : lists_.colPages) {
            std::vector<const PageEntry*>& got = collected[piece.page];
            got.push_back(&piece);
            if (static_cast<std::int32_t>(got.size()) != piece.pieceCount) continue;
            std::sort(got.begin(), got.end(), [](const PageEntry* a, const PageEntry* b) { return a->piece < b->piece; });
            bool complete = true;
            for (std::size_t i = 0; i < got.size(); ++i) complete = complete && got[i]->piece == static_cast<int>(i + 1);
            if (!complete) continue;
            if (got.size() == 1) {
                pages.push_back({piece.page, &got.front()->picture, {}});
                continue;
            }
            std::optional<std::vector<std::uint8_t>> page = CombinePagePieces(sys_.composer(), got);
            if (!page) {
                lists_.colErrors.push_back(texts::WithName(texts::kCombinePages, std::to_string(piece.page)));
                continue;
            }
            pages.push_back({piece.page, nullptr, std::move(*page)});
        }
        return pages;
    }

    // The texts of the pieces of the pages that are written, so that text
    // records and page records tell of the same pages.
    std::vector<TextLineRecord> pageTexts(const std::vector<PageImage>& pages) {
        std::set<std::int32_t> written;
        for (const PageImage& page : pages) written.insert(page.page);
        std::vector<TextLineRecord> result;
        for (const TextEntry& text : lists_.colTexts) {
            if (written.contains(text.page)) result.push_back({pageText(text.text)});
        }
        return result;
    }

    // The lines of a piece's text joined by CR LF, leading empty lines left
    // out. A line ends at CR LF or a lone CR, as the runtime reads lines; a
    // lone LF is a line break inside a cell and stays.
    std::string pageText(const std::string& ansi) {
        std::string text;
        std::size_t start = 0;
        while (start < ansi.size()) {
            const std::size_t end = std::min(ansi.find('\r', start), ansi.size());
            if (!text.empty()) text += "\r\n";
            text.append(ansi, start, end - start);
            start = end + 1;
            if (start < ansi.size() && ansi[start] == '\n') ++start;
        }
        return sys_.codec().fromAnsi(text);
    }

    // Written under a name of its own in the history folder and renamed when
    // complete, so that a failure never leaves a file that readers take for a
    // history.
    bool writeHistory(HistoryRecords& records, const std::vector<PageImage>& pages) {
        std::string folder = w_.setting.SaveFolder();
        if (!folder.ends_with('\\')) folder += '\\';
        const HistoryFileHeader& h = records.header;
        FileSystem& files = sys_.files();
        const std::optional<std::string> name = newHistoryFileName(
            h.strSheetId, h.strVersionId, h.strHistoryId,
            [&](const std::string& candidate) { return files.kind(folder + candidate) != PathKind::missing; });
        if (!name) return fail(texts::WithName(texts::kWriteHistory, folder));

        const auto takeErrorLines = [&] {
            records.errorLines.clear();
            for (const std::string& line : lists_.colErrors) records.errorLines.push_back({line});
        };
        takeErrorLines();
        std::optional<HistoryWriter> writer(std::in_place, records, pages.size(), sys_.codec());
        if (!writer->cuts().empty()) {
            for (const HistoryCut& cut : writer->cuts()) lists_.colErrors.push_back(cutLine(cut));
            takeErrorLines();
            writer.emplace(records, pages.size(), sys_.codec());
        }

        const std::string path = folder + *name;
        const std::string partial = path + ".tmp";
        std::unique_ptr<ByteSink> sink = files.createNew(partial);
        if (!sink) return fail(texts::WithName(texts::kWriteHistory, *name));
        bool complete = false;
        const ScopeExit removePartial([&] {
            if (!complete) files.removeFile(partial);
        });
        PageImages source(pages);
        const HistoryWriteStatus status = writer->write(source, *sink);
        sink.reset();
        complete = status == HistoryWriteStatus::written && files.moveFile(partial, path);
        if (!complete) return fail(texts::WithName(texts::kWriteHistory, *name));
        return true;
    }

    void endSteps() {
        quietly([&] { app_.SetStatusBar(std::nullopt); });
        if (completed_) return;
        std::string text;
        if (lists_.colErrors.empty()) {
            text = texts::kUnknownError;
        } else {
            text = texts::kErrorsOccurred;
            for (std::size_t i = 0; i < lists_.colErrors.size(); ++i) {
                if (i > 0) text += "\r\n";
                text += lists_.colErrors[i];
            }
        }
        sys_.prompts().message(text, w_.title, kErrorBox);
    }

    RecorderWorld& w_;
    host::Application& app_;
    RecorderSystem& sys_;
    TempPaths temp_;
    RecordingLists lists_;
    host::WorkbookPtr book_;
    bool headingError_ = false;
    std::optional<std::string> watchRefused_;
    bool completed_ = false;
};

// Whether a selected sheet has a watch that is not released. Without a window
// there is nothing to look at, and a host that can't tell goes on: the run's
// own checks then report what is wrong.
bool gatePasses(host::Application& application, c_Xl_DocPros& docPros) {
    bool watched = true;
    host::ignoreErrors([&] {
        const host::WindowPtr window = application.ActiveWindow();
        if (!window) return;
        const std::vector<host::SheetPtr> sheets = window->SelectedSheets();
        watched = std::any_of(sheets.begin(), sheets.end(), [&](const host::SheetPtr& sheet) {
            const host::WorksheetPtr worksheet = sheet->AsWorksheet();
            const std::shared_ptr<c_Xl_DocPro> record = worksheet ? docPros.Find(worksheet) : nullptr;
            return record && !record->Released();
        });
    });
    return watched;
}

}  // namespace

void SaveHistory(RecorderWorld& world) {
    if (!world.application || !gatePasses(*world.application, world.docPros)) return;
    Run(world).go();
}

void SaveHistory(AddinState& state, RecorderSystem& system) {
    const host::ApplicationPtr application = state.g_Application;
    const std::shared_ptr<c_Setting> setting = state.g_Setting;
    if (!application || !setting) return;
    RecorderWorld world{application,
                        *setting,
                        state.g_DocPros(),
                        systemClock(),
                        system,
                        GetAppTitle(),
                        LibraryVersionText()};
    SaveHistory(world);
}

std::string LibraryVersionText(int major, int minor, int revision) {
    std::string text = std::to_string(major);
    text += '.';
    text += vb::FormatDigits(minor, 2);
    text += ".0.";
    text += vb::FormatDigits(revision, 2);
    return text;
}

std::string LibraryVersionText() { return LibraryVersionText(KQ_VERSION_MAJOR, KQ_VERSION_MINOR, KQ_VERSION_REVISION); }

}  // namespace kq::addin::recording
