#include "viewer/export/history_export.h"

#include <cstdio>
#include <memory>
#include <utility>

#include "common/history_reader.h"
#include "common/runtime_errors.h"
#include "viewer/texts.h"

namespace kq::viewer {

namespace {

namespace errors = runtime_errors;

ExportFailure failure(std::int32_t number) { return {number, std::string(errors::description(number))}; }

// The files of one export, taken away again unless it completes.
class ExportRun {
public:
    ExportRun(FileSystem& files, const std::string& folder) : files_(files), folder_(folder) {}
    ~ExportRun() {
        if (!done_) undo();
    }
    ExportRun(const ExportRun&) = delete;
    ExportRun& operator=(const ExportRun&) = delete;

    // Makes the first free name of the stem and number and writes the bytes into it.
    std::optional<ExportFailure> write(std::string_view stem, int number, std::string_view extension,
                                       std::string_view bytes) {
        for (int attempt = 1; attempt <= kLastExportAttempt; ++attempt) {
            const std::string path = exportFilePath(folder_, stem, number, attempt, extension);
            // Made only where nothing is: a name taken meanwhile is passed over, never written into.
            const std::unique_ptr<ByteSink> sink = files_.createNew(path);
            if (!sink) {
                const PathKind there = files_.kind(path);
                if (there == PathKind::file || there == PathKind::directory) continue;
                return failure(files_.kind(folder_) == PathKind::directory ? errors::kPathFileAccessError
                                                                            : errors::kPathNotFound);
            }
            made_.push_back(path);
            if (!sink->write(bytes.data(), bytes.size())) return failure(errors::kDeviceIoError);
            return std::nullopt;
        }
        return failure(errors::kOverflow);
    }

    std::vector<std::string> finish() {
        done_ = true;
        return std::move(made_);
    }

private:
    void undo() {
        for (auto it = made_.rbegin(); it != made_.rend(); ++it) files_.removeFile(*it);
        made_.clear();
    }

    FileSystem& files_;
    const std::string& folder_;
    std::vector<std::string> made_;
    bool done_ = false;
};

std::string_view asText(const std::vector<std::uint8_t>& bytes) {
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

ExportOutcome failed(ExportFailure why) { return {{}, std::move(why)}; }

}  // namespace

std::string exportFilePath(std::string_view folder, std::string_view stem, int number, int attempt,
                           std::string_view extension) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%03d", number);
    std::string path;
    path.append(folder).append("\\").append(stem).append(digits);
    if (attempt > 1) path.append("(").append(std::to_string(attempt)).append(")");
    path.append(extension);
    return path;
}

ExportOutcome exportHistory(FileSystem& files, const AnsiCodec& codec, const std::string& historyPath,
                            const std::string& folder, const ExportChoices& choices) {
    const std::unique_ptr<ByteSource> source = files.openForReading(historyPath);
    if (!source) {
        return failed(failure(files.kind(historyPath) == PathKind::file ? errors::kPathFileAccessError
                                                                        : errors::kFileNotFound));
    }
    // Everything is read and checked before the first file is made: a damaged
    // history leaves the folder as it was.
    const HistoryRead<HistoryRecords> records = readHistoryRecords(*source, codec);
    if (!records) return failed(failure(errors::kInputPastEndOfFile));
    std::vector<PageImageRecord> pages;
    if (choices.images) {
        HistoryRead<std::vector<PageImageRecord>> found = readHistoryPages(*source);
        if (!found) return failed(failure(errors::kInputPastEndOfFile));
        pages = std::move(*found.value);
    }

    ExportRun run(files, folder);
    for (std::size_t n = 0; n < pages.size(); ++n) {
        const HistoryRead<std::vector<std::uint8_t>> page = readHistoryPage(*source, pages[n]);
        if (!page) return failed(failure(errors::kInputPastEndOfFile));
        if (auto why = run.write(texts::kExportImageStem, static_cast<int>(n + 1), texts::kExportImageExtension,
                                 asText(*page.value))) {
            return failed(std::move(*why));
        }
    }
    const HistoryRecords& r = *records.value;
    // Text files carry the code page. Page texts are numbered per captured
    // piece, as the history counts them, not per page.
    const auto writeTexts = [&](bool chosen, std::string_view stem, std::size_t count,
                                const auto& textOf) -> std::optional<ExportFailure> {
        for (std::size_t k = 0; chosen && k < count; ++k) {
            if (auto why = run.write(stem, static_cast<int>(k + 1), texts::kExportTextExtension,
                                     codec.toAnsi(textOf(k)))) {
                return why;
            }
        }
        return std::nullopt;
    };
    std::optional<ExportFailure> why = writeTexts(choices.cellTexts, texts::kExportCellStem, r.pageTexts.size(),
                                                  [&](std::size_t k) { return r.pageTexts[k].strText; });
    if (!why) {
        why = writeTexts(choices.shapeTexts, texts::kExportShapeStem, r.shapes.size(),
                         [&](std::size_t k) { return r.shapes[k].varText + "\r\n"; });
    }
    if (!why) {
        why = writeTexts(choices.comments, texts::kExportCommentStem, r.comments.size(),
                         [&](std::size_t k) { return r.comments[k].varText + "\r\n"; });
    }
    if (why) return failed(std::move(*why));
    return {run.finish(), std::nullopt};
}

}  // namespace kq::viewer
