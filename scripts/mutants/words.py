# Faults in naming changes in the user's words, undo where the user types, and finding items.
MUTANTS = [
    ('W01', 'ui/common/TextBox.cpp', '  return (key.matches(QKeySequence::Undo) && !box.isUndoAvailable()) ||', '  return key.matches(QKeySequence::Undo) ||', 'undo reaches the editor while the box still has typing'),
    ('W02', 'core/item_search.cpp', '*address - static_cast<uint64_t>(range.first) < static_cast<uint64_t>(range.count);', '*address - static_cast<uint64_t>(range.first) <= static_cast<uint64_t>(range.count);', 'the byte after an item found as one of its own'),
    ('W03', 'core/item_search.cpp', 'bool sameLetter(char a, char b) {\n  return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));\n}\n', 'bool sameLetter(char a, char b) { return a == b; }\n', 'a name found only in the case typed'),
    ('W04', 'ui/editor/ChangesWindow.cpp', '  if (item.Rows > 1) parts << named(parts.isEmpty() ? "Row" : "row", r + 1, rowCaption(item, r));\n', '  if (item.Rows > 1)\n    parts << named(parts.isEmpty() ? "Row" : "row", item.Rows - r, rowCaption(item, r));\n', 'rows counted from the top, not from the bottom as the grid shows them'),
    ('W05', 'ui/editor/ChangesWindow.cpp', '5 * static_cast<size_t>(7 - bit)', '5 * static_cast<size_t>(bit)', 'a bit named by the caption of another'),
    ('W06', 'ui/common/DropDown.cpp', '  if (event->type() == QEvent::ShortcutOverride &&\n      spentUndoKey(*lineEdit(), *static_cast<QKeyEvent*>(event))) {\n', '  if (event->type() == QEvent::ShortcutOverride && false) {\n', "Ctrl+Z in an item list's field does nothing"),
]
