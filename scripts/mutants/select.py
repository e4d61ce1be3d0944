# Faults in the work on a selection of table cells.
MUTANTS = [
    ('S01', 'core/table_edit.cpp', 'const double whole = std::nearbyint(raw);', 'const double whole = std::round(raw);', 'cells: halves round away from zero'),
    ('S02', 'core/table_edit.cpp', '(block.lastRow - r) % cells.rows', '(r - block.firstRow) % cells.rows', 'paste: the top pasted row goes to the bottom table row'),
    ('S13', 'core/table.cpp', '    for (int c = block.firstCol; c <= block.lastCol; ++c)\n      writeImageByte', '    for (int c = block.firstCol; c < block.lastCol; ++c)\n      writeImageByte', 'write-back: the last column of a block is not written'),
    ('S04', 'ui/editor/tables/CellActions.cpp', '    action->setShortcutContext(Qt::WidgetShortcut);\n', '', 'shortcuts act wherever the focus is in the window'),
    ('S05', 'core/table_edit.cpp', '      if (across && (c == block.firstCol || c == block.lastCol)) continue;\n', '', 'smooth: the edge columns move too'),
    ('S06', 'core/table_edit.cpp', 'n != cols)', 'n > cols)', 'paste: short rows are taken'),
    ('S07', 'core/conversion.cpp', ': (value - offset) * factor;', ': (value - offset) / factor;', 'inverse of Operation 1 divides again'),
    ('S08', 'ui/editor/tables/CellActions.cpp', '  edited_();\n  if (const std::string report', '  if (const std::string report', 'selection edits do not clear Saved'),
    ('S09', 'ui/editor/tables/GraphWindow.cpp', 'return item_ != nullptr && change.touches(place_.first, place_.cols * place_.rows);', 'return item_ == nullptr && change.touches(place_.first, place_.cols * place_.rows);', 'graph goes stale after edits'),
    ('S10', 'ui/editor/tables/CellActions.cpp', '    values_.read(table);  // the bytes as they are, whatever changed them last\n    clamped = edit();', '    clamped = edit();', 'selection edits work on stale values, not the image'),
    ('S11', 'core/table_edit.cpp', 'if (rows > static_cast<size_t>(roomRows) || cols > static_cast<size_t>(roomCols)) {', 'if (rows > static_cast<size_t>(roomRows) + 1 || cols > static_cast<size_t>(roomCols)) {', 'paste: one row too many fits (writes past the table)'),
    ('S12', 'core/table_edit.cpp', '  if (below > 0) text += ', '  if (below > 1) text += ', 'report: a single clamped-low cell is not reported'),
]
