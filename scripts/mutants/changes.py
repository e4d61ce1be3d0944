# Faults in the history, the comparison with a reference and the Changes window.
MUTANTS = [
    ('J01', 'core/journal.cpp', '  putRecords(undone_.back().change, false);', '  putRecords(undone_.back().change, true);', 'undo writes the texts after the step, not before'),
    ('J02', 'core/journal.cpp', '  undone_.clear();\n', '', 'a new action keeps what could be redone'),
    ('J03', 'core/journal.cpp', 'while (done_.size() > 1 && (done_.size() > kMaxSteps || records_ > kMaxRecords)) {', 'while (done_.size() > kMaxSteps + 1 && records_ > kMaxRecords) {', 'the history is not bounded by its step count'),
    ('J04', 'core/compare.cpp', 'return r >= reference_.size() || image[r] != reference_[r];', 'return r < reference_.size() && image[r] != reference_[r];', 'bytes the reference lacks do not differ'),
    ('J05', 'core/compare.cpp', '    if (!inItem[r] && differsAt(r)) report.outside.push_back(static_cast<int>(r));', '    if (inItem[r] && differsAt(r)) report.outside.push_back(static_cast<int>(r));', 'bytes of no item are not listed'),
    ('J06', 'core/compare.cpp', 'if (const auto byte = referenceByte(record)) writeImageByte(record, *byte);', 'if (const auto byte = imageByte(record)) writeImageByte(record, *byte);', 'revert writes back the image\'s own bytes'),
    ('J07', 'ui/editor/ChangesWindow.cpp', 'const int changed = byteAt(group.records[0]) ^ referenceAt(group.records[0]);', 'const int changed = byteAt(group.records[0]) | referenceAt(group.records[0]);', 'every bit that is on listed as changed'),
    ('J08', 'ui/editor/ChangesWindow.cpp', 'value = value << 8 | static_cast<uint64_t>(column == 3 ? referenceAt(r) : byteAt(r));', 'value = value << 8 | static_cast<uint64_t>(byteAt(r));', 'a value\'s reference column shows the image'),
    ('J09', 'ui/editor/frmEditor.cpp', 'const bool differs = document_.reference().differs(range);', 'const bool differs = false;', 'no change mark in the lists'),
    ('J10', 'ui/editor/FlagsPanel.cpp', 'const bool differs = ((now ^ reference) >> bit) & 1;', 'const bool differs = (now >> bit) & 1;', 'bits marked by their own value, not by the reference'),
    ('J11', 'ui/editor/tables/TableModel.cpp', '      return referenceOf(index.row(), index.column()).has_value();', '      return false;', 'no changed cell framed'),
    ('J12', 'core/bin_file.cpp', '  if (::lstat(copy.c_str(), &there) == 0) {\n', '  if (false) {\n', 'the original copy written over again on every save'),
]
