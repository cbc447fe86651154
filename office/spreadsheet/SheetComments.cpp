// The legacy comments of a sheet and their VML shapes.
#include <algorithm>
#include <cstdlib>
#include <map>
#include <sstream>

#include "office/spreadsheet/Sheet.h"
#include "office/spreadsheet/XmlNodes.h"

namespace office::spreadsheet {
namespace {

// Moves a note's shape by `rows`: its cell row (x:Row, 0-based) and the top
// and bottom rows of its box (x:Anchor, third and seventh numbers).
void MoveShape(pugi::xml_node shape, int32_t rows)
{
    pugi::xml_node data = ChildNamed(shape, "ClientData");
    if (pugi::xml_node row = ChildNamed(data, "Row")) {
        row.text().set(row.text().as_int() + rows);
    }
    pugi::xml_node anchor = ChildNamed(data, "Anchor");
    if (!anchor) {
        return;
    }
    std::vector<int> numbers;
    std::stringstream stream(anchor.text().get());
    std::string piece;
    while (std::getline(stream, piece, ',')) {
        numbers.push_back(std::atoi(piece.c_str()));
    }
    if (numbers.size() != 8) {
        return;
    }
    numbers[2] += rows;
    numbers[6] += rows;
    std::string text;
    for (size_t i = 0; i < numbers.size(); ++i) {
        text += (i ? ", " : "") + std::to_string(numbers[i]);
    }
    anchor.text().set(text.c_str());
}

}  // namespace

std::vector<CommentAnchor>& Sheet::Comments()
{
    if (commentsRead) {
        return commentAnchors;
    }
    commentsRead = true;
    if (!comments.document) {
        return commentAnchors;
    }
    std::map<std::pair<int32_t, int32_t>, pugi::xml_node> shapes;
    if (vml.document) {
        for (pugi::xml_node shape : vml.document->document_element().children()) {
            pugi::xml_node data = ChildNamed(shape, "ClientData");
            pugi::xml_node row = ChildNamed(data, "Row");
            pugi::xml_node column = ChildNamed(data, "Column");
            if (row && column) {
                shapes.emplace(std::make_pair(row.text().as_int() + 1, column.text().as_int() + 1), shape);
            }
        }
    }
    pugi::xml_node list = ChildNamed(comments.document->document_element(), "commentList");
    for (pugi::xml_node comment = ChildNamed(list, "comment"); comment; comment = NextNamed(comment, "comment")) {
        auto cell = ParseCell(comment.attribute("ref").value());
        if (!cell) {
            continue;
        }
        auto shape = shapes.find({cell->row, cell->column});
        commentAnchors.push_back(CommentAnchor{comment, shape == shapes.end() ? pugi::xml_node() : shape->second,
                                               cell->row, cell->column, cell->row});
    }
    std::stable_sort(commentAnchors.begin(), commentAnchors.end(),
                     [](const CommentAnchor& a, const CommentAnchor& b) { return a.row < b.row; });
    return commentAnchors;
}

void Sheet::CopyComment(const CommentAnchor& source, int32_t row)
{
    CommentAnchor copy = source;
    copy.comment = source.comment.parent().append_copy(source.comment);
    if (source.shape) {
        copy.shape = source.shape.parent().append_copy(source.shape);
        copy.shape.remove_attribute("id");
        if (vmlOwnShapes && std::find(vmlOwnShapes->begin(), vmlOwnShapes->end(), source.shape) != vmlOwnShapes->end()) {
            vmlOwnShapes.reset();
        }
    }
    copy.row = row;
    auto after = std::upper_bound(commentAnchors.begin(), commentAnchors.end(), row,
                                  [](int32_t value, const CommentAnchor& anchor) { return value < anchor.row; });
    commentAnchors.insert(after, copy);
    commentsAdded = true;
}

void Sheet::WriteComments()
{
    for (CommentAnchor& anchor : commentAnchors) {
        if (anchor.row == anchor.writtenRow) {
            continue;
        }
        anchor.comment.attribute("ref").set_value(FormatCell(anchor.row, anchor.column).c_str());
        comments.changed = true;
        if (anchor.shape) {
            MoveShape(anchor.shape, anchor.row - anchor.writtenRow);
            vml.changed = true;
        }
        anchor.writtenRow = anchor.row;
    }
    if (!commentsAdded) {
        return;
    }
    // Comments in reading order, as the application writes them.
    std::stable_sort(commentAnchors.begin(), commentAnchors.end(), [](const CommentAnchor& a, const CommentAnchor& b) {
        return std::make_pair(a.row, a.column) < std::make_pair(b.row, b.column);
    });
    for (CommentAnchor& anchor : commentAnchors) {
        anchor.comment.parent().append_move(anchor.comment);
    }
    comments.changed = true;
    vml.changed = vml.changed || vml.document;
    commentsAdded = false;
}

}  // namespace office::spreadsheet
