# Faults in the ECU file check, trimlet-check and the check window.
MUTANTS = [
    ('C01', 'core/ecu_file.cpp', '      countLineEnds(i + 1, end);  // a quoted item may run over several lines\n', '', 'tokenizer: line ends inside a quoted item not counted'),
    ('C02', 'core/ecu_file.cpp', "      if (text_[j] == '\\r' && j + 1 < to && text_[j + 1] == '\\n') ++j;\n", '', 'tokenizer: CR LF inside quotes counts as two lines'),
    ('C03', 'core/ecu_file.cpp', 'const TextPosition at{line_, i - lineStart_ + 1};', 'const TextPosition at{line_, i - lineStart_};', 'columns counted from 0'),
    ('C04', 'core/ecu_file.cpp', '    if (brace) trace_->firstUnread = *brace;\n', '', 'the first unread item keeps no position'),
    ('C05', 'core/ecu_check.cpp', 'mismatch_ = listed != content_->count;', 'mismatch_ = listed != std::max<int>(content_->count, 0);', 'a negative count passes as zero'),
    ('C06', 'core/ecu_check.cpp', '      add(mismatch_ ? Severity::Error : Severity::Warning, fieldAt(checked.number, field),\n          checked.number, message,\n', '      add(Severity::Warning, fieldAt(checked.number, field), checked.number, message,\n', 'items in no class are only warnings'),
    ('C07', 'core/state.cpp', 'item.Bytes < 1 || item.Bytes > kMaxValueBytes) return', 'item.Bytes < 1 || item.Bytes >= kMaxValueBytes) return', 'four-byte values refused'),
    ('C08', 'core/ecu_check.cpp', 'if (!earlier.range || earlier.range->first > later.range->last ||', 'if (!earlier.range || earlier.range->first >= later.range->last ||', 'overlap of a single last byte missed'),
    ('C09', 'core/ecu_check.cpp', 'return differ - a.begin() >= 3;', 'return differ - a.begin() >= 1;', 'keys compared by their first letter only'),
    ('C10', 'core/ecu_check.cpp', 'if (hinted != read.item && hintShiftedKey(read)) hinted = read.item;', 'if (hintShiftedKey(read)) hinted = read.item;\n        (void)hinted;', 'a key hint for every shifted field'),
    ('C11', 'core/output_text.cpp', '} else if (c < 0x20) {', '} else if (c < 0x20 && c != 0) {', 'JSON: NUL written raw'),
    ('C12', 'app/trimlet_check.cpp', 'const int found = check.report.count(Severity::Error) > 0 ? kShowsMessage : kOpens;', 'const int found = check.report.count(Severity::Warning) > 0 ? kShowsMessage : kOpens;', 'exit status from warnings'),
    ('C13', 'ui/check/CheckWindow.cpp', 'findBlockByNumber(line - 1);', 'findBlockByNumber(line);', 'file view one line off'),
    ('C14', 'core/document.cpp', '    opening.notices.push_back({parsed.message, true, ecuProblemDetails(ecuPath_, parsed.message)});\n', '    opening.notices.push_back({parsed.message, true, {}});\n', 'rejected ECU file: no details'),
]
