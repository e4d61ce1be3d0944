# Faults in the checksum section, the checksum algorithms and their correction, and in
# trimlet-check's output.
MUTANTS = [
    ('K01', 'core/checksum.cpp', '<< (8 * (Big ? Word - 1 - k : k));', '<< (8 * (Big ? k : Word - 1 - k));', 'words read in the other byte order'),
    ('K02', 'core/checksum.cpp', '    if (block.order == ByteOrder::Big)\n      value = (value << 8) | byte;', '    if (block.order != ByteOrder::Big)\n      value = (value << 8) | byte;', 'stored result read in the other byte order'),
    ('K03', 'core/checksum.cpp', 'static_cast<size_t>(range.last - range.first + 1));', 'static_cast<size_t>(range.last - range.first));', 'the last byte of a range left out'),
    ('K04', 'core/checksum_section.cpp', 'block.covered = without(joined, block.result());', 'block.covered = joined;', 'the stored result summed into itself'),
    ('K05', 'core/checksum.cpp', [('  std::vector<ChecksumWrite> writes;\n', '  std::vector<ChecksumWrite> writes;\n  const std::vector<uint8_t> original(bytes.begin(), bytes.end());\n'), ('const uint32_t value = compute(block, bytes);', 'const uint32_t value = compute(block, original);')], '', 'every block computed over the bytes as they were, not in file order'),
    ('K06', 'core/ecu_file.cpp', [('  LineReader lines(text);\n', '  LineReader lines(text);\n  (void)from;\n'), ('if (lines.offset() >= from && equalsNoCase(', 'if (equalsNoCase(')], '', 'a "Checksums" line between the items taken for the section'),
    ('K10', 'app/trimlet_check.cpp', '  std::signal(SIGPIPE, SIG_IGN);\n', '', 'a reader gone kills trimlet-check by SIGPIPE (141)'),
    ('K11', 'app/trimlet_check.cpp', 'if (const int error = writeAll(STDOUT_FILENO, outcome.out); error != 0) {', 'if (const int error = writeAll(STDOUT_FILENO, outcome.out); error != 0 && error == EPIPE) {', 'a full disk or a closed output taken for a written report'),
    ('K12', 'app/trimlet_check.cpp', '  if (asJson)\n    outcome.out =', '  if (asJson && false)\n    outcome.out =', '--json prints nothing for a file it cannot read'),
    ('K13', 'app/trimlet_check.cpp', 'out += printable(line) + "\\n";', 'out += line + "\\n";', 'a line break in a file name splits a problem line'),
    ('K14', 'core/output_text.cpp', '      out += invalid;', '      out += std::string(invalid.substr(0, 0)) + text[i];', 'bytes that are not UTF-8 printed raw'),
    ('K15', 'app/trimlet_check.cpp', '    if (!why.empty()) return failure(why, asJson, ecu, bin, false);', '    if (!why.empty() && check.report.count(Severity::Error) == 0)\n      return failure(why, asJson, ecu, bin, false);', 'errors in the ECU file win over a BIN file that cannot be read'),
]
