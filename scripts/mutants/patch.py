# Faults in patch files: how an item of a patch is found, what a conflict stops, byte order.
MUTANTS = [
    ('PT01', 'core/patch.cpp', '  if (named.empty()) {\n', '  if (named.empty())\n    for (size_t i = 0; i < items.size(); ++i)\n      if (items[i].range.problem == RangeProblem::None &&\n          static_cast<uint64_t>(items[i].range.first) == item.address)\n        named.push_back(i);\n  if (named.empty()) {\n', 'an item whose name is not found is matched by its address'),
    ('PT02', 'core/patch.cpp', 'if (plan.refused() || (!plan.complete() && !rest)) return 0;', '(void)rest;  // every item that applies is written, whatever the others\n  if (plan.refused()) return 0;', 'half a patch applied on a conflict'),
    ('PT03', 'core/patch.cpp', 'const int down = 8 * (unit.count - 1 - k);', 'const int down = 8 * k;', 'a value written least significant byte first'),
    ('PT04', 'core/patch.cpp', 'value = value << 8 | image[unit.address + static_cast<uint64_t>(k)];', 'value |= uint32_t{image[unit.address + static_cast<uint64_t>(k)]} << (8 * k);', 'a value read least significant byte first'),
    ('PT05', 'core/patch.cpp', 'if (ea == eb || ((wa.value ^ wb.value) & wa.mask & wb.mask) == 0) continue;', 'continue;', 'overlapping items that want other bits of a byte both written'),
]
