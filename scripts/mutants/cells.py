# Faults in typing numbers into cells, in pastes onto a selection and in the clamping report.
MUTANTS = [
    ('T01', 'core/table_edit.cpp', 'const double whole = std::nearbyint(raw);', 'const double whole = std::floor(raw);', 'typed and pasted numbers round down to a raw value, not to the nearest'),
    ('T02', 'ui/editor/tables/CellEditor.cpp', '  open_ = false;\n  emit ended(how);', '  emit ended(how);', 'Enter applies twice: the focus leaving the closing box ends it again'),
    ('T03', 'ui/editor/tables/CellEditor.cpp', '      end(End::Cancel);\n      return;', '      end(End::Cancel);\n      QLineEdit::keyPressEvent(event);\n      return;', 'Esc in the box reaches the window and asks to close it'),
    ('T04', 'ui/editor/tables/CellEditor.cpp', '      end(event->modifiers() & Qt::ControlModifier ? End::Fill : End::Down);\n      return;', '      end(event->modifiers() & Qt::ControlModifier ? End::Fill : End::Down);\n      QLineEdit::keyPressEvent(event);\n      return;', 'Enter also reaches the grid, which opens the box again by itself'),
    ('T05', 'core/table_edit.cpp', 'row[(c - block.firstCol) % cells.cols]', 'row[(c - block.firstCol + 1) % cells.cols]', 'paste: the repeated block starts one column off'),
    ('T06', 'core/table_edit.cpp', '    lines.erase(lines.begin());\n    --rows;\n', '', 'paste: the caption row of a copy with axes is taken for values'),
    ('T07', 'core/table_edit.cpp', '  if (!units.raw) {\n    const int outside', '  if (false) {\n    const int outside', 'clamping in calculated values reported in raw numbers'),
    ('T08', 'ui/editor/tables/CellActions.cpp', '  if (how == CellEditor::End::Down) grid_->moveFromEditor(1, 0);\n', '', 'Enter writes but does not move down'),
]
