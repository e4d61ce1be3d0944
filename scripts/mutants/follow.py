# Faults in how the views follow the image: a view that shows, and then writes, stale bytes, and
# the marks, windows and history that must follow every change.
MUTANTS = [
    ('F01', 'ui/common/ViewFollower.cpp', '  if (stale_ || !touches_(change)) return;', '  return;', 'no view follows a change made elsewhere'),
    ('F02', 'ui/common/ViewFollower.cpp', '  if (watched == view_ && event->type() == QEvent::Show && stale_) schedule();\n', '', 'a hidden tab changed behind is not refreshed when shown'),
    ('F03', 'ui/editor/tables/TableModel.cpp', '  return at ? imageByte(*at).value_or(-1) : -1;', '  return at ? static_cast<int>(texts_.size()) * 0 + 7 : -1;', 'grid cells do not show the bytes the image holds'),
    ('F04', 'ui/editor/ValuesPanel.cpp', '  if (txtValue_Raw->hasFocus() && txtValue_Raw->isModified()) {', '  if (false) {', 'a number being typed is replaced by a change behind it'),
    ('F05', 'ui/editor/tables/GraphWindow.cpp', '  connect(&watch, &ImageWatch::referenceChanged, this, &GraphWindow::refresh);\n', '', 'the graph keeps drawing the old reference after Compare with'),
    ('F06', 'ui/editor/frmEditor.cpp', '    if (change != nullptr && !change->touches(range.first, range.count)) continue;', '    if (change != nullptr) continue;', 'list marks do not follow an action'),
    ('F07', 'ui/editor/frmEditor.cpp', '  flags_->clearLabels();\n', '', "the window's reset leaves the previous flag's captions"),
    ('F08', 'ui/common/Widgets.cpp', '  button->setAutoDefault(false);\n', '', 'Enter in a box presses Save Changes'),
    ('F09', 'ui/editor/frmEditor.cpp', '  if (document_.history().undo() == nullptr) return;\n  // Back at the image last saved, there is nothing left to ask about on closing.\n  fields_.Saved = document_.history().state() == savedState_;', '  if (document_.history().undo() == nullptr) return;\n  fields_.Saved = false;', 'closing asks to save after an undo back to the image saved'),
    ('F10', 'ui/editor/ChangesWindow.cpp', '      return r < inItem_.size() && !inItem_[r];', '      return r < inItem_.size() && inItem_[r];', 'the Changes window misses bytes of no item changed while it is open'),
    ('F11', 'ui/editor/FlagsPanel.cpp', '  follower_->caughtUp();  // the boxes show the byte just written\n  showMarks();', '  follower_->caughtUp();  // the boxes show the byte just written', 'a bit clicked is not marked against the reference'),
]
