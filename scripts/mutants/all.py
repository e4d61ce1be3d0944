# Plausible real faults the test suite must catch, one row each: (id, file, text, replacement,
# what goes wrong); `text` occurs exactly once in `file`. A mutation run plants each in a copy of
# the tree, builds it and runs the whole suite, which must fail. This file gathers every list.
import os
import runpy

MUTANTS = []
for name in ("list", "safety", "check", "select", "changes", "follow", "package", "recovery",
             "checksum", "patch"):
    MUTANTS += runpy.run_path(os.path.join(os.path.dirname(__file__), name + ".py"))["MUTANTS"]
