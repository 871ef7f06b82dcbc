// Turning to a page in the viewer: the page read from its history file, drawn
// from its metafile at its natural size, scaled into a view with its shadow
// and frame, against the least any showing of the page costs: the same
// metafile played into a bitmap of the page's natural size. Turns to the next
// or the previous page find the page drawn ahead while the viewer was idle
// (not counted); a jump to a far page finds nothing ahead. All in one run, on
// a generated history of 48 pages that look like printed sheets.
//   page_turn_bench [scratch folder]

#include "common/win32/windows_api.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/win32/bitmaps.h"
#include "common/win32/forms.h"
#include "common/win32/handles.h"
#include "common/win32/win32_file_system.h"
#include "common/win32/wide.h"
#include "tests/support/history_bytes.h"
#include "viewer/page_view/page_view.h"
#include "viewer/page_view/win32/page_view_window.h"

namespace {

using namespace kq;
using Clock = std::chrono::steady_clock;

constexpr int kPages = 48;
constexpr double kGoal = 1.5;
constexpr double kReadGoal = 0.25;
// The view a maximized window gives the page on a 1280 x 1024 screen, in pixels.
constexpr SIZE kView{860, 760};

// A sheet as printed: ruled cells and their texts, an A4 page (21 x 29.7 cm).
std::vector<std::uint8_t> sheetPage(int page) {
    const RECT frame{0, 0, 21000, 29700};
    const HDC dc = CreateEnhMetaFileW(nullptr, nullptr, &frame, nullptr);
    SetMapMode(dc, MM_ANISOTROPIC);
    SetWindowExtEx(dc, 2100, 2970, nullptr);
    SetViewportExtEx(dc, GetDeviceCaps(dc, HORZRES) * 210 / GetDeviceCaps(dc, HORZSIZE),
                     GetDeviceCaps(dc, VERTRES) * 297 / GetDeviceCaps(dc, VERTSIZE), nullptr);
    const win32::Font font(CreateFontW(-30, 0, 0, 0, FW_NORMAL, 0, 0, 0, SHIFTJIS_CHARSET, 0, 0, 0, 0, L"MS Gothic"));
    const win32::Selection used = win32::selectObject(dc, font.get());
    for (int row = 0; row < 50; ++row) {
        const int y = 100 + row * 54;
        MoveToEx(dc, 100, y, nullptr);
        LineTo(dc, 2000, y);
        for (int column = 0; column < 6; ++column) {
            const std::wstring text = L"売上 " + std::to_wstring(page * 1000 + row * 6 + column);
            TextOutW(dc, 110 + column * 316, y + 10, text.c_str(), static_cast<int>(text.size()));
        }
    }
    for (int column = 0; column <= 6; ++column) {
        MoveToEx(dc, 100 + column * 316, 100, nullptr);
        LineTo(dc, 100 + column * 316, 100 + 50 * 54);
    }
    const win32::EnhMetafile done(CloseEnhMetaFile(dc));
    std::vector<std::uint8_t> bytes(GetEnhMetaFileBits(done.get(), 0, nullptr));
    GetEnhMetaFileBits(done.get(), static_cast<UINT>(bytes.size()), bytes.data());
    return bytes;
}

double seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

}  // namespace

int main(int argc, char** argv) {
    const std::filesystem::path root =
        argc > 1 ? std::filesystem::path(argv[1]) : std::filesystem::path(KQ_BENCH_SCRATCH);
    std::filesystem::create_directories(root);
    const std::filesystem::path file = root / "pages48.tvk";
    std::vector<std::vector<std::uint8_t>> pages;
    for (int page = 0; page < kPages; ++page) pages.push_back(sheetPage(page));
    {
        HistoryRecords r;
        r.header.strSheetId = "S";
        r.header.strVersionId = "V";
        r.pageTexts.resize(pages.size(), {"売上"});
        const std::vector<std::uint8_t> bytes = test::historyBytes(r, pages);
        std::ofstream(file, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    std::string path = file.string();
    std::replace(path.begin(), path.end(), '/', '\\');

    win32::Win32FileSystem files;
    const Twips screen = win32::screenTwips();
    const viewer::win32::ViewerPictures pictures = viewer::win32::loadViewerPictures();
    const win32::DeviceContext screenDc = win32::memoryDc(nullptr);
    std::uint32_t* bits = nullptr;
    const win32::Bitmap view = win32::topDownBitmap(kView.cx, kView.cy, bits);

    // The viewer's reader and pictures, as the page view holds them.
    viewer::PageReader reader(files, systemAnsiCodec());
    viewer::win32::PagePictures shown(pictures.imgShadow, screen);
    // What the viewer does while idle after a turn: the neighbours drawn ahead.
    const auto idle = [&] {
        while (shown.prepareAhead(reader, kView)) {
        }
    };
    // One turn: what the viewer does between the page button and the drawn view.
    struct Costs {
        Clock::duration reading{}, natural{}, scaling{};
        Clock::duration total() const { return reading + natural + scaling; }
    };
    const auto turn = [&](int page, Costs& costs) {
        auto at = Clock::now();
        const viewer::LoadedPage loaded = reader.load(path, page);
        costs.reading += Clock::now() - at;
        at = Clock::now();
        shown.show(loaded);
        costs.natural += Clock::now() - at;
        at = Clock::now();
        const auto natural = shown.shown().naturalSize();
        const auto fit = viewer::fitPage(natural->first, natural->second, kView.cx * screen.perPixelX(),
                                         kView.cy * screen.perPixelY());
        const win32::Selection used = win32::selectObject(screenDc.get(), view.get());
        win32::copyBitmap(screenDc.get(), shown.picture(kView, {viewer::PageDrawing::Kind::page, *fit}), kView);
        GdiFlush();
        costs.scaling += Clock::now() - at;
    };
    // The floor: the same metafile, already in memory, played at the page's natural size.
    std::vector<SIZE> naturalPixels;
    for (const auto& bytes : pages) naturalPixels.push_back(viewer::win32::PageImage::draw(bytes, screen).pixels());
    const auto play = [&](int page) {
        const std::vector<std::uint8_t>& bytes = pages[static_cast<std::size_t>(page - 1)];
        const win32::EnhMetafile metafile(SetEnhMetaFileBits(static_cast<UINT>(bytes.size()), bytes.data()));
        const SIZE size = naturalPixels[static_cast<std::size_t>(page - 1)];
        std::uint32_t* pixels = nullptr;
        const win32::Bitmap target = win32::topDownBitmap(size.cx, size.cy, pixels);
        const win32::Selection used = win32::selectObject(screenDc.get(), target.get());
        const RECT all{0, 0, size.cx, size.cy};
        PlayEnhMetaFile(screenDc.get(), metafile.get(), &all);
        GdiFlush();
    };

    // Each round turns through the history forward and back one page at a
    // time, then jumps half the history away and back (page 1 to 25, 2 to
    // 26, ...), and plays every page for the floor; the best round of each counts.
    Costs neighbour, jump;
    double floorBest = 1e9;
    constexpr int kNeighbourTurns = 2 * (kPages - 1);
    constexpr int kFarTurns = kPages;
    for (int round = 0; round < 5; ++round) {
        Costs roundNeighbour, roundJump;
        turn(1, roundJump);
        roundJump = {};
        idle();
        for (int page = 2; page <= kPages; ++page) {
            turn(page, roundNeighbour);
            idle();
        }
        for (int page = kPages - 1; page >= 1; --page) {
            turn(page, roundNeighbour);
            idle();
        }
        for (int page = 1; page <= kPages / 2; ++page) {
            turn(page + kPages / 2, roundJump);
            idle();
            turn(page, roundJump);
            idle();
        }
        if (round == 0 || roundNeighbour.total() < neighbour.total()) neighbour = roundNeighbour;
        if (round == 0 || roundJump.total() < jump.total()) jump = roundJump;
        const auto start = Clock::now();
        for (int page = 1; page <= kPages; ++page) play(page);
        floorBest = std::min(floorBest, seconds(Clock::now() - start) / kPages);
    }
    const auto perTurn = [](Clock::duration d, int turns) { return seconds(d) / turns; };
    const auto report = [&](const char* what, const Costs& costs, int turns) {
        std::printf("%-52s %10.2f ms a page\n", what, perTurn(costs.total(), turns) * 1e3);
        std::printf("%-52s %10.2f ms a page\n", "  of which the read", perTurn(costs.reading, turns) * 1e3);
        std::printf("%-52s %10.2f ms a page\n", "  of which the page at its natural size", perTurn(costs.natural, turns) * 1e3);
        std::printf("%-52s %10.2f ms a page\n", "  of which the view: scaled, shadow, frame", perTurn(costs.scaling, turns) * 1e3);
    };
    std::printf("turning to the pages of a history of %d pages\n", kPages);
    std::printf("%-52s %10.2f ms a page\n", "floor: the metafile played at its natural size", floorBest * 1e3);
    report("turn to the next or previous page", neighbour, kNeighbourTurns);
    report("jump to a far page", jump, kFarTurns);
    std::printf("%-52s %10.2f (goal at most %.1f)\n", "ratio, next or previous page",
                perTurn(neighbour.total(), kNeighbourTurns) / floorBest, kGoal);
    std::printf("%-52s %10.2f\n", "ratio, far page", perTurn(jump.total(), kFarTurns) / floorBest);
    std::printf("%-52s %10.2f (goal at most %.2f)\n", "read's share of the floor, next or previous page",
                perTurn(neighbour.reading, kNeighbourTurns) / floorBest, kReadGoal);
    std::printf("%-52s %10.2f\n", "read's share of the floor, far page", perTurn(jump.reading, kFarTurns) / floorBest);
    return 0;
}
