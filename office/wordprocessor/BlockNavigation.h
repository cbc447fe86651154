// Walking the main story as a reader sees it: a content control (w:sdt) is a
// container, not a boundary, so the block after a paragraph at the end of a
// control is the one after the control, and the first row of a table may sit
// in a control inside it.
#pragma once

#include "office/wordprocessor/WordNames.h"

#include <pugixml.hpp>

namespace office::word {

// What a content control's w:sdtContent holds, found from where the control sits.
enum class ContentLevel { Blocks, Rows, Cells, Inline };
ContentLevel LevelOfContent(const WordNames& names, pugi::xml_node sdtContent);

// The body, a table cell or a control holding blocks: where paragraphs and tables go.
bool IsBlockContainer(const WordNames& names, pugi::xml_node node);

pugi::xml_node NextElement(pugi::xml_node node);
pugi::xml_node PreviousElement(pugi::xml_node node);

// The element after / before node among its visible siblings: controls are
// entered and left as if their content stood in their place.
pugi::xml_node NextVisible(const WordNames& names, pugi::xml_node node);
pugi::xml_node PreviousVisible(const WordNames& names, pugi::xml_node node);
// The first / last visible child element of container (through controls).
pugi::xml_node FirstVisibleChild(const WordNames& names, pugi::xml_node container);
pugi::xml_node LastVisibleChild(const WordNames& names, pugi::xml_node container);

// The next row of the row's table, null after its last row.
pugi::xml_node NextRow(const WordNames& names, pugi::xml_node row);
// The table holding the row (rows may sit in controls inside it).
pugi::xml_node TableOf(const WordNames& names, pugi::xml_node row);
// The first paragraph under node in document order (node itself included),
// leaving out other stories; null when none.
pugi::xml_node FirstParagraphUnder(const WordNames& names, pugi::xml_node node);
// node, or the outermost control whose content begins with node.
pugi::xml_node OutermostStartingWith(const WordNames& names, pugi::xml_node node);
// node, or the outermost control whose content ends with node.
pugi::xml_node OutermostEndingWith(const WordNames& names, pugi::xml_node node);

}  // namespace office::word
