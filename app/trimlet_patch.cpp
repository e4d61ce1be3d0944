// trimlet-patch: makes a patch file of a tune, applies one to another image by item name (all
// or nothing), and shows what one holds.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <string>
#include <vector>

#include "core/bin_file.h"
#include "core/compare.h"
#include "core/ecu_file.h"
#include "core/file_write.h"
#include "core/hex.h"
#include "core/image.h"
#include "core/output_text.h"
#include "core/patch.h"
#include "core/state.h"
#include "core/version.h"

namespace {

using namespace trimlet;

constexpr char kUsage[] =
    "usage: trimlet-patch diff [--json] STOCK.bin TUNED.bin FILE.ecu > TUNE.patch\n"
    "       trimlet-patch apply [--json] TUNE.patch TARGET.bin FILE.ecu -o OUT.bin [--force]\n"
    "       trimlet-patch apply [--json] TUNE.patch TARGET.bin FILE.ecu --in-place "
    "[--keep-original]\n"
    "       trimlet-patch show [--json] TUNE.patch\n";

constexpr char kHelp[] =
    "\n"
    "diff prints the changes from STOCK.bin to TUNED.bin, item by item as FILE.ecu names them,\n"
    "as a patch file (docs/patch-format.md). apply finds each item of the patch in FILE.ecu by\n"
    "name and checks every change against TARGET.bin before it writes anything; it writes only\n"
    "when every item applies (or is there already), then corrects the checksums FILE.ecu\n"
    "declares: into OUT.bin, which must not exist unless --force, or --in-place into TARGET.bin\n"
    "as the editor saves (kept as it was in TARGET.orig.bin only with --keep-original). show\n"
    "prints what a patch holds.\n"
    "\n"
    "  -o OUT.bin        write the patched image to a new file\n"
    "  --force           write OUT.bin over an existing file\n"
    "  --in-place        write the patched image into TARGET.bin\n"
    "  --keep-original   with --in-place: keep TARGET.bin as it was beside it first\n"
    "  --json            print the patch, the report or the failure as JSON\n"
    "  --help            print this help\n"
    "  --version         print the version\n"
    "\n"
    "Exit status: 0 when done, 1 when the patch does not apply (conflicts, missing items, an\n"
    "image of another length; nothing is written), 2 when the command line is wrong, a file\n"
    "cannot be read, is refused (a malformed patch: its line and reason are printed) or the\n"
    "output cannot be written.\n";

enum Exit { kDone = 0, kNotApplied = 1, kFailed = 2 };

struct Outcome {
  std::string out;
  std::string err;
  int status = kDone;
};

struct Options {
  bool asJson = false;
  bool force = false;
  bool inPlace = false;
  bool keepOriginal = false;
  std::string out;
  std::vector<std::string> files;
};

Outcome failure(const std::string& why, const Options& options, bool usage = false) {
  Outcome outcome{{}, printable("trimlet-patch: " + why) + "\n" + (usage ? kUsage : ""), kFailed};
  if (options.asJson) outcome.out = "{\"error\": " + jsonString(why) + "}\n";
  return outcome;
}

// Report lines, each made safe for a terminal on its own.
std::string printableLines(std::string_view text) {
  std::string out;
  while (!text.empty()) {
    const size_t end = std::min(text.find('\n'), text.size());
    out += printable(text.substr(0, end)) + "\n";
    text.remove_prefix(std::min(end + 1, text.size()));
  }
  return out;
}

std::string hexJson(uint64_t value) { return "\"" + numberToHex(value) + "\""; }

std::string patchJson(const Patch& patch) {
  const auto changes = [](const std::vector<PatchChange>& list) {
    std::string out = "[";
    for (size_t i = 0; i < list.size(); ++i)
      out += std::string(i == 0 ? "" : ", ") + "{\"unit\": " + std::to_string(list[i].unit) +
             ", \"old\": " + hexJson(list[i].before) + ", \"new\": " + hexJson(list[i].after) + "}";
    return out + "]";
  };
  std::string out = "{\"version\": " + std::to_string(kPatchVersion) +
                    ", \"reference\": {\"length\": " + std::to_string(patch.referenceLength) +
                    ", \"sha256\": \"" + patch.referenceSha +
                    "\"}, \"result\": {\"length\": " + std::to_string(patch.resultLength) +
                    ", \"sha256\": \"" + patch.resultSha +
                    "\"}, \"ecu\": {\"name\": " + jsonString(patch.ecuName) + ", \"sha256\": \"" +
                    patch.ecuSha + "\"},\n \"items\": [";
  for (size_t i = 0; i < patch.items.size(); ++i) {
    const PatchItem& item = patch.items[i];
    out += std::string(i == 0 ? "\n  " : ",\n  ") + "{\"name\": " + jsonString(item.name) +
           ", \"class\": \"" + keywordOf(item.kind) + "\", \"address\": " + hexJson(item.address) +
           ", \"cols\": " + std::to_string(item.cols) + ", \"rows\": " + std::to_string(item.rows) +
           ", \"bytes\": " + std::to_string(item.bytes) +
           ", \"changes\": " + changes(item.changes) + "}";
  }
  return out + "],\n \"bytes\": " + changes(patch.bytes) + "}\n";
}

std::string planJson(const PatchPlan& plan, bool written) {
  std::string out = "{\"refusal\": " + (plan.refused() ? jsonString(plan.refusal) : "null") +
                    ", \"complete\": " + (plan.complete() ? "true" : "false") +
                    ", \"written\": " + (written ? "true" : "false") + ",\n \"items\": [";
  for (size_t i = 0; i < plan.items.size(); ++i) {
    const PatchItemReport& r = plan.items[i];
    out += std::string(i == 0 ? "\n  " : ",\n  ") +
           "{\"name\": " + (r.patchIndex < 0 ? "null" : jsonString(r.name)) + ", \"outcome\": \"" +
           outcomeText(r.outcome) +
           "\", \"address\": " + (r.target > 0 ? hexJson(r.targetAddress) : "null") +
           ", \"why\": " + (r.why.empty() ? "null" : jsonString(r.why)) + ", \"conflicts\": [";
    for (size_t k = 0; k < r.conflicts.size(); ++k) {
      const PatchConflict& c = r.conflicts[k];
      out += std::string(k == 0 ? "" : ", ") + "{\"unit\": " + std::to_string(c.unit) +
             ", \"expected\": " + hexJson(c.expected) + ", \"found\": " + hexJson(c.found) +
             ", \"wanted\": " + hexJson(c.wanted) +
             ", \"note\": " + (c.note.empty() ? "null" : jsonString(c.note)) + "}";
    }
    out += "]}";
  }
  return out + "]}\n";
}

// Loads the image and the items as the editor does; an empty text when both can be used.
std::string load(const std::string& bin, const std::string& ecu) {
  BIN_Path = bin;
  ECU_Path = ecu;
  if (const FileResult loaded = Load_BIN(); !loaded.ok) return loaded.message;
  const ParseResult parsed = Parse_ECU();
  if (parsed.outcome == ParseOutcome::Ok) return {};
  return "the ECU file " + ecu + " cannot be used: " + parsed.message + " (trimlet-check " + ecu +
         " says where)";
}

Outcome diff(const Options& options) {
  const std::string& stock = options.files[1];
  if (const std::string problem = load(options.files[2], options.files[3]); !problem.empty())
    return failure(problem, options);
  const std::vector<uint8_t> tuned = imageBytes();
  const ReferenceFile reference = readReference(stock, tuned.size());
  if (!reference.problem.empty()) return failure(reference.problem, options);
  const PatchEcu ecu = readPatchEcu(options.files[3], BIN_FileBytes);
  if (!ecu.problem.empty()) return failure(ecu.problem, options);
  const Patch patch = diffImages(reference.bytes, tuned, loadedItems(), ecu);
  const std::string text = formatPatch(patch);
  if (text.size() > kMaxPatchBytes)
    return failure("the changes are too many for a patch file (over 16 MiB)", options);
  return {options.asJson ? patchJson(patch) : text, {}, kDone};
}

// Writes the image into a file that must not exist yet (made here, so removed again on a
// failure), or over one with --force (whole or not at all).
int writeOut(const std::string& path, const std::vector<uint8_t>& bytes, bool force) {
  const std::string_view data(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  if (force) return replaceFileWhole(path, data);
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return errno;
  size_t done = 0;
  int error = writeAt(fd, data.data(), data.size(), 0, done);
  if (error == 0 && ::fsync(fd) != 0) error = errno;
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error != 0) ::unlink(path.c_str());
  return error;
}

Outcome apply(const Options& options) {
  const std::string &patchPath = options.files[1], &target = options.files[2],
                    &ecuPath = options.files[3];
  if (options.inPlace == !options.out.empty())
    return failure("apply writes either -o OUT.bin or --in-place", options, true);
  const PatchRead read = readPatchFile(patchPath);
  if (!read.ok()) return failure(patchProblemText(patchPath, read), options);
  if (const std::string problem = load(target, ecuPath); !problem.empty())
    return failure(problem, options);
  const PatchEcu ecu = readPatchEcu(ecuPath, BIN_FileBytes);
  if (!ecu.problem.empty()) return failure(ecu.problem, options);
  std::vector<uint8_t> bytes = imageBytes();
  const PatchPlan plan = planPatch(read.patch, bytes, loadedItems(), ecu.sha);
  const std::string report = planText(read.patch, plan);
  if (!plan.complete())
    return {options.asJson ? planJson(plan, false) : printableLines(report),
            "trimlet-patch: the patch does not apply as a whole, so nothing was written\n",
            kNotApplied};
  if (options.inPlace) {
    if (options.keepOriginal)
      if (const FileResult kept = keepOriginal(target, bytes); !kept.ok)
        return failure(kept.message, options);
    (void)applyPlanToImage(plan, false, ecu.blocks, patchPath);
    if (const FileResult saved = Save_BIN(); !saved.ok) return failure(saved.message, options);
  } else {
    (void)applyPlan(plan, false, ecu.blocks, bytes);
    if (const int error = writeOut(options.out, bytes, options.force))
      return failure(options.out + " cannot be written: " + std::strerror(error) +
                         (error == EEXIST ? " (--force writes over it)" : ""),
                     options);
  }
  return {options.asJson ? planJson(plan, true) : printableLines(report), {}, kDone};
}

Outcome show(const Options& options) {
  const PatchRead read = readPatchFile(options.files[1]);
  if (!read.ok()) return failure(patchProblemText(options.files[1], read), options);
  const Patch& patch = read.patch;
  if (options.asJson) return {patchJson(patch), {}, kDone};
  std::string out = "A patch of " + std::to_string(patch.items.size()) +
                    " items made with the ECU file " + patch.ecuName + " (SHA-256 " + patch.ecuSha +
                    ")\nfor an image of " + std::to_string(patch.referenceLength) +
                    " bytes (SHA-256 " + patch.referenceSha + "):\n";
  for (const PatchItem& item : patch.items)
    out += "  " + item.name + ": " + keywordOf(item.kind) + " at " + numberToHex(item.address) +
           ", " + std::to_string(item.changes.size()) + " changed\n";
  if (!patch.bytes.empty())
    out += "  and " + std::to_string(patch.bytes.size()) + " bytes of no item\n";
  return {printableLines(out), {}, kDone};
}

Outcome run(int argc, char* argv[]) {
  Options options;
  bool optionsEnd = false;
  std::string unknown;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (optionsEnd || arg.size() < 2 || arg[0] != '-') {
      options.files.push_back(arg);
    } else if (arg == "--") {
      optionsEnd = true;
    } else if (arg == "--json") {
      options.asJson = true;
    } else if (arg == "--force") {
      options.force = true;
    } else if (arg == "--in-place") {
      options.inPlace = true;
    } else if (arg == "--keep-original") {
      options.keepOriginal = true;
    } else if (arg == "-o" && i + 1 < argc) {
      options.out = argv[++i];
    } else if (arg == "--help" || arg == "-h") {
      return {std::string(kUsage) + kHelp, {}, kDone};
    } else if (arg == "--version") {
      return {"trimlet-patch, Trimlet Version " + programVersion() + "\n", {}, kDone};
    } else if (unknown.empty()) {
      unknown = arg;
    }
  }
  if (!unknown.empty()) return failure("unknown option " + unknown, options, true);
  const std::string command = options.files.empty() ? std::string() : options.files[0];
  const size_t files = command == "show" ? 2 : 4;
  if ((command != "diff" && command != "apply" && command != "show") ||
      options.files.size() != files)
    return failure("name a command (diff, apply or show) and its files", options, true);
  if (command != "apply" &&
      (options.inPlace || options.keepOriginal || options.force || !options.out.empty()))
    return failure("-o, --force, --in-place and --keep-original are for apply", options, true);
  if (command == "diff") return diff(options);
  return command == "apply" ? apply(options) : show(options);
}

}  // namespace

int main(int argc, char* argv[]) {
  // A reader that goes away must not end the program unseen: the write fails with EPIPE.
  std::signal(SIGPIPE, SIG_IGN);
  Outcome outcome = run(argc, argv);
  if (!outcome.err.empty() && writeAll(STDERR_FILENO, outcome.err) != 0) outcome.status = kFailed;
  if (const int error = writeAll(STDOUT_FILENO, outcome.out); error != 0) {
    (void)writeAll(STDERR_FILENO, std::string("trimlet-patch: the output cannot be written: ") +
                                      std::strerror(error) + "\n");
    return kFailed;
  }
  return outcome.status;
}
