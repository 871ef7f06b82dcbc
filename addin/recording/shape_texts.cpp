#include "addin/recording/shape_texts.h"

#include <array>
#include <optional>
#include <vector>

#include "addin/core/texts.h"

namespace kq::addin::recording {

namespace {

void showProgress(host::Application& application, const std::string& what) {
    host::ignoreErrors([&] { application.SetStatusBar(std::string(texts::kSaving) + what); });
}

// The first of the shape's text sources that can be read; a source read
// without error ends the search, also when its text is empty.
std::optional<std::string> shapeText(host::Shape& shape) {
    using Source = std::string (host::Shape::*)();
    static constexpr std::array<Source, 4> kSources = {
        &host::Shape::DrawingObjectCaption,
        &host::Shape::DrawingObjectObjectText,
        &host::Shape::DrawingObjectObjectCaption,
        &host::Shape::TextEffectText,
    };
    for (const Source source : kSources) {
        std::string text;
        if (host::ignoreErrors([&] { text = (shape.*source)(); })) return text;
    }
    return std::nullopt;
}

}  // namespace

void CollectShapeText(host::Application& application, RecordingLists& lists, const host::ShapePtr& shape,
                      const host::RangePtr& printRange, const host::RangePtr& titleRows,
                      const host::RangePtr& titleColumns, bool isGroupItem, const std::string& topLeft,
                      const std::string& bottomRight) {
    bool visible = false;
    std::string name;
    if (!host::ignoreErrors([&] {
            visible = shape->Visible();
            name = shape->Name();
        }) ||
        !visible) {
        return;
    }
    showProgress(application, name);

    std::string from = topLeft;
    std::string to = bottomRight;
    if (!isGroupItem && !host::ignoreErrors([&] {
            from = shape->TopLeftCell()->Address();
            to = shape->BottomRightCell()->Address();
        })) {
        return;
    }
    if (!IsInPrintArea(application, printRange, titleRows, titleColumns, from, to)) return;

    std::int32_t type = 0;
    if (!host::ignoreErrors([&] { type = shape->Type(); })) return;
    if (type == host::msoGroup) {
        std::vector<host::ShapePtr> items;
        host::ignoreErrors([&] { items = shape->GroupItems(); });
        for (const host::ShapePtr& item : items) {
            CollectShapeText(application, lists, item, printRange, titleRows, titleColumns, true, from, to);
        }
        return;
    }
    const std::optional<std::string> text = shapeText(*shape);
    if (text && !text->empty()) lists.colShapes.push_back({name, *text, from, to});
}

void CollectCommentText(host::Application& application, RecordingLists& lists, const host::CommentPtr& comment,
                        const host::RangePtr& printRange, const host::RangePtr& titleRows,
                        const host::RangePtr& titleColumns) {
    std::string cell;
    if (!host::ignoreErrors([&] { cell = comment->Parent()->Address(); })) return;
    showProgress(application, cell);
    if (!IsInPrintArea(application, printRange, titleRows, titleColumns, cell, cell)) return;

    std::string text;
    std::string author;
    if (!host::ignoreErrors([&] {
            text = comment->Text();
            author = comment->Author();
        }) ||
        text.empty()) {
        return;
    }
    lists.colComments.push_back({text, cell, author});
}

bool IsInPrintArea(host::Application& application, const host::RangePtr& printRange, const host::RangePtr& titleRows,
                   const host::RangePtr& titleColumns, const std::string& topLeft, const std::string& bottomRight) {
    bool inside = false;
    host::ignoreErrors([&] {
        const host::RangePtr span = printRange->Parent()->Range(topLeft + ":" + bottomRight);
        if (!span) return;
        std::vector<host::RangePtr> printed = {printRange};
        if (titleColumns) printed.push_back(titleColumns);
        if (titleRows) printed.push_back(titleRows);
        const host::RangePtr area = printed.size() == 1 ? printRange : application.Union(printed);
        inside = application.Intersect(area, span) != nullptr;
    });
    return inside;
}

}  // namespace kq::addin::recording
