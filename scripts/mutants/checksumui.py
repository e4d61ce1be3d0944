# Faults in the editor's checksums (the window, the save's correction, the upload's question),
# Ctrl+S and the copy saved elsewhere.
MUTANTS = [
    ('KU01', 'ui/editor/frmEditor.cpp', '  values_->writeTyped();\n  cmdSave_Click();', '  cmdSave_Click();\n  values_->writeTyped();', 'Ctrl+S saves before the number typed in the raw box is written'),
    ('KU02', 'ui/editor/frmEditor.cpp', 'bool frmEditor::saveImage() {\n  correctChecksumsForSave();', 'bool frmEditor::saveImage() {', 'a save writes the image without correcting its checksums'),
    ('KU03', 'ui/editor/frmEditor.cpp', '                            DefaultAnswer::No, Escape::AnswersNo) == Answer::Yes;', '                            DefaultAnswer::Yes, Escape::AnswersNo) == Answer::Yes;', 'Enter starts the upload of a BIN file with a BAD checksum'),
    ('KU04', 'core/bin_file.cpp', '    if (binThere && there.st_dev == bin.st_dev && there.st_ino == bin.st_ino)\n      return refused("it is the BIN file itself; \\"Save Changes\\" saves into it.");\n', '    if (false) return refused("it is the BIN file itself; \\"Save Changes\\" saves into it.");\n', 'a copy renamed over the BIN file itself, bypassing the save'),
]
