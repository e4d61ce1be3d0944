# Plausible real faults the test suite must catch, one row each: (id, file, text, replacement,
# what goes wrong); `text` occurs exactly once in `file`. A mutation run plants each in a copy of
# the tree, builds it and runs the whole suite, which must fail. This file gathers every list.
import os
import runpy

MUTANTS = []
here = os.path.dirname(os.path.abspath(__file__))
for name in sorted(os.listdir(here)):
    if name.endswith(".py") and name != "all.py":
        MUTANTS += runpy.run_path(os.path.join(here, name))["MUTANTS"]
