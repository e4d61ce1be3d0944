// Patches of the demo tune: made and applied again (also onto the moved revision), every
// conflict an image can hold, and every way a patch file is refused.
#include "core/patch.h"

#include <gtest/gtest.h>

#include <memory>
#include <tuple>

#include "core/ecu_file.h"
#include "support/TempDir.h"

namespace trimlet {
namespace {

using test::readText;

const std::string kExamples = TRIMLET_SOURCE_DIR "/examples/";

// An ECU file read apart from the shared state, with its items placed in an image.
struct Ecu {
  EcuContent content;
  std::vector<PatchItemSource> items;
  PatchEcu ecu;
};

std::unique_ptr<Ecu> readEcu(const std::string& text, int64_t imageBytes) {
  auto ecu = std::make_unique<Ecu>();
  (void)readEcuText(text, ecu->content.target(), nullptr);
  for (int i = 1; i <= ecu->content.count; ++i)
    ecu->items.push_back({&ecu->content.items[static_cast<size_t>(i)],
                          itemRecords(ecu->content.items[static_cast<size_t>(i)], imageBytes)});
  const test::TempDir dir;
  ecu->ecu = readPatchEcu(dir.write("engine.ecu", text), imageBytes);
  return ecu;
}

// An edit of the tune: a byte of the named item (its name, the byte's offset) XORed with a mask.
using Edit = std::tuple<const char*, int, uint8_t>;

// The image with the edits made by name and its checksums corrected, as the editor saves it.
std::vector<uint8_t> tuned(std::vector<uint8_t> image, const Ecu& ecu,
                           const std::vector<Edit>& edits) {
  for (const auto& [name, offset, mask] : edits)
    for (const PatchItemSource& source : ecu.items)
      if (source.item->Name == name)
        image[static_cast<size_t>(source.range.first + offset)] ^= mask;
  (void)correctChecksums(ecu.ecu.blocks, image);
  return image;
}

struct Revision {
  std::vector<uint8_t> stock;
  std::unique_ptr<Ecu> ecu;
};

Revision revision(const std::string& name) {
  std::vector<uint8_t> stock = test::readBytes(kExamples + name + ".bin");
  return {stock, readEcu(readText(kExamples + name + ".ecu"), static_cast<int64_t>(stock.size()))};
}

const std::vector<Edit> kTune = {
    {"Option Flags 1", 0, 0x42},         {"Option Flags 2", 0, 0x02},
    {"Diagnostics Enable", 0, 0x40},     {"Rev Limit (RPM)", 1, 0x01},
    {"Rev Limit (RPM)", 0, 0x02},        {"Injector Constant (ms)", 3, 0x80},
    {"Coolant Fuel Corr (%)", 15, 0x01}, {"Base Fuel (ms)", 68, 0x04},
    {"Base Fuel (ms)", 69, 0x03}};

// Diff then apply gives the tuned image byte for byte: onto the stock image through the same
// ECU file, and onto the moved revision (another length, other addresses) through its own.
TEST(Patch, AppliedToTheStockOfEitherRevisionGivesItsTune) {
  const Revision demo = revision("demo"), moved = revision("demo-moved");
  const std::tuple<const char*, const Revision*, std::vector<Edit>, bool> cases[] = {
      {"the same image", &demo, kTune, true},
      {"the moved revision", &moved, kTune, true},
      {"a byte of no item", &demo, {{"Option Flags 1", -0x3F00, 0x10}}, true},
      {"a byte of no item, moved", &moved, {{"Option Flags 1", -0x3F00, 0x10}}, false},
  };
  for (const auto& [what, target, edits, applies] : cases) {
    SCOPED_TRACE(what);
    const Patch made =
        diffImages(demo.stock, tuned(demo.stock, *demo.ecu, edits), demo.ecu->items, demo.ecu->ecu);
    const PatchRead read = parsePatch(formatPatch(made));
    ASSERT_TRUE(read.ok()) << read.line << ": " << read.problem;
    const PatchPlan plan =
        planPatch(read.patch, target->stock, target->ecu->items, target->ecu->ecu.sha);
    std::vector<uint8_t> image = target->stock;
    (void)applyPlan(plan, false, target->ecu->ecu.blocks, image);
    EXPECT_EQ(image == tuned(target->stock, *target->ecu, edits), applies) << planText(made, plan);
    EXPECT_EQ(plan.refused(), !applies);
  }
}

// A target that holds neither the old nor the new value, an item it lacks, names twice, holds
// in another shape or lets two items write one byte otherwise: all or nothing, unless the rest
// is asked for; bits apart from the patch's and changes already made are no conflict.
TEST(Patch, ConflictsWriteNothingUnlessTheRestIsAsked) {
  const Revision demo = revision("demo");
  const std::string text = readText(kExamples + "demo.ecu");
  const Patch patch =
      diffImages(demo.stock, tuned(demo.stock, *demo.ecu, kTune), demo.ecu->items, demo.ecu->ecu);
  const auto replaced = [&](std::string from, std::string to) {
    std::string out = text;
    out.replace(out.find(from), from.size(), to);
    return out;
  };
  using O = PatchOutcome;
  const O A = O::Applied;
  const std::string flag = "Cols=1, Rows=1, Bytes=1, Kind=80";
  // What the target's image and ECU file hold; the outcome of each item of the patch.
  const std::tuple<const char*, std::vector<Edit>, std::string, std::vector<O>> cases[] = {
      {"other bits of the flag byte", {{"Option Flags 1", 0, 0x81}}, text, {A, A, A, A, A, A, A}},
      {"a value's low byte differs",
       {{"Rev Limit (RPM)", 1, 0x10}},
       text,
       {A, A, A, O::Conflicting, A, A, A}},
      {"part done already",
       {{"Injector Constant (ms)", 3, 0x80}},
       text,
       {A, A, A, A, O::AlreadyThere, A, A}},
      {"renamed at the same address",
       {},
       replaced("Name=Base Fuel (ms)", "Name=Base Fuel"),
       {A, A, A, A, A, A, O::Missing}},
      {"a name twice",
       {},
       replaced("Name=Cylinder Count", "Name=Rev Limit (RPM) "),
       {A, A, A, O::Ambiguous, A, A, A}},
      {"another size",
       {},
       replaced("4012, Cols=1, Rows=1, Bytes=2", "4012, Cols=1, Rows=1, Bytes=1"),
       {A, A, A, O::OtherShape, A, A, A}},
      {"two flag bytes on one byte, other bits",
       {},
       replaced("4001, " + flag, "4000, " + flag),
       {A, A, A, A, A, A, A}},
      {"two flag bytes on one byte, one bit",
       {},
       replaced("4002, " + flag, "4000, " + flag),
       {O::Conflicting, A, O::Conflicting, A, A, A, A}},
  };
  for (const auto& [what, edits, ecuText, outcomes] : cases) {
    SCOPED_TRACE(what);
    const auto ecu = readEcu(ecuText, static_cast<int64_t>(demo.stock.size()));
    std::vector<uint8_t> image = tuned(demo.stock, *ecu, edits);
    const std::vector<uint8_t> before = image;
    const PatchPlan plan = planPatch(patch, image, ecu->items, ecu->ecu.sha);
    ASSERT_EQ(plan.items.size(), outcomes.size());
    for (size_t i = 0; i < outcomes.size(); ++i) EXPECT_EQ(plan.items[i].outcome, outcomes[i]) << i;
    (void)applyPlan(plan, false, ecu->ecu.blocks, image);
    EXPECT_EQ(image == before, !plan.complete()) << planText(patch, plan);
    // The rest: each item that applied is there now; the others are as they were.
    (void)applyPlan(plan, true, ecu->ecu.blocks, image);
    const PatchPlan after = planPatch(patch, image, ecu->items, ecu->ecu.sha);
    for (size_t i = 0; i < outcomes.size(); ++i)
      EXPECT_EQ(after.items[i].outcome, outcomes[i] == A ? O::AlreadyThere : outcomes[i]) << i;
  }
}

// Each refusal names its line and reason, whatever part of the file is wrong.
TEST(Patch, RefusesEveryMalformedFileWithItsLine) {
  const std::string good =
      "Trimlet patch 1\nreference 16 sha256 " + std::string(64, 'a') + "\nresult 16 sha256 " +
      std::string(64, 'b') + "\necu \"e\\\"x\\xFF.ecu\" sha256 " + std::string(64, 'c') +
      "\n\nitem \"F\" flag 0\nbit 7 0 -> 1  # on\nbit 0 1 -> 0\nitem \"V\" value 2 2\n"
      "value 00FF -> 0100\nitem \"M\" map 4 2x3\ncell 1 2 05 -> 06\nbytes\nbyte F 01 -> 02\nend\n";
  const PatchRead read = parsePatch(good);
  ASSERT_TRUE(read.ok()) << read.line << ": " << read.problem;
  EXPECT_EQ(read.patch.ecuName, "e\"x\xFF.ecu");
  const auto with = [&](std::string from, std::string to) {
    std::string out = good;
    out.replace(out.find(from), from.size(), to);
    return out;
  };
  const std::tuple<std::string, size_t, const char*> cases[] = {
      {with("item \"F\"", "item \"F\xC0\""), 6, "not UTF-8"},
      {with("Trimlet patch 1", "Trimlet patch 2"), 1, "unknown version 2"},
      {with("Trimlet patch 1", "Trimlet diff 1"), 1, "not a Trimlet patch"},
      {with("item \"V\"", "item \"F\" flag 0\nbit 1 0 -> 1\nitem \"V\""), 9, "twice"},
      {with("bit 0 1", "bit 7 1"), 8, "twice or out of order"},
      {with("value 00FF -> 0100", "value 00FF -> 10000"), 10, "out of range"},
      {with("cell 1 2", "cell 2 2"), 12, "out of range"},
      {with("map 4 2x3", "map C 2x3"), 11, "past the end"},
      {with("byte F", "byte 10"), 14, "out of range"},
      {with("-> 02", "-> 01"), 14, "the same"},
      {with("value 00FF -> 0100\n", ""), 10, "lists no change"},
      {good.substr(0, good.size() - 4), 15, "truncated"},
      {with("end\n", "end\nbit 1 0 -> 1\n"), 16, "after \"end\""},
      {with("bit 7 0 -> 1", "bit 7 0 => 1"), 7, "OLD -> NEW"},
  };
  for (const auto& [text, line, reason] : cases) {
    const PatchRead refused = parsePatch(text);
    EXPECT_EQ(refused.line, line) << reason << ": " << refused.problem;
    EXPECT_NE(refused.problem.find(reason), std::string::npos) << refused.problem;
  }
  // A good patch past the size limit is refused unread (the shared reader's other refusals,
  // pipes and devices, are its own test's).
  const test::TempDir dir;
  const PatchRead large =
      readPatchFile(dir.write("large.patch", good + std::string(kMaxPatchBytes, '\n')));
  EXPECT_NE(large.problem.find("is too large"), std::string::npos) << large.problem;
}

}  // namespace
}  // namespace trimlet
