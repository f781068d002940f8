// Host tool that links a carried program in passes, so that the functions
// it never calls leave no code behind. The build runs it in front of the
// program's link command (CMake's RULE_LAUNCH_LINK):
//
//   lwlink COMPILER ARGUMENTS...
//
// Why: in an x64 PE program every function has an unwind entry (.pdata$F,
// which refers to .text$F and .xdata$F), and ld's default script keeps all
// of them (KEEP), which keeps every function of every object linked:
// --gc-sections then drops nothing. Without that KEEP, ld still writes out
// every unwind section but no longer keeps what they refer to. So:
//   1. the ordinary link, for ld's own script (--verbose) and the unwind
//      sections that exist (its map);
//   2. a link with that script's KEEPs removed and every unwind section
//      discarded: its map tells the text sections that nothing calls;
//   3. a link with those functions' unwind sections discarded and the
//      unwind data of the others kept as roots (it names the personality
//      routines and the type information of the exceptions caught);
//   4. when that link keeps a function whose unwind sections were discarded
//      (code that only the unwind data reaches), keep it too and go back to
//      3; once it settles, check in the map that every function kept has
//      all the unwind sections it has in the ordinary link.
// When a step fails, the program is linked as the command says (larger,
// never wrong) with a warning. Files beside the program: PROGRAM.ld (ld's
// script), PROGRAM.x and PROGRAM.map (the script and map of the last link).
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

extern char** environ;

namespace {

using Section = std::pair<std::string, std::string>;  // file, section name

struct LinkMap {
  std::set<Section> kept;       // input sections in the program
  std::set<Section> discarded;  // input sections removed by --gc-sections
};

bool StartsWith(const std::string& s, const char* prefix) {
  return s.compare(0, std::strlen(prefix), prefix) == 0;
}

// "archive(member)" as ld prints an archive member; plain files stay.
bool SplitMember(const std::string& file, std::string* archive, std::string* member) {
  if (file.empty() || file.back() != ')') return false;
  size_t open = file.rfind('(');
  if (open == std::string::npos || open == 0) return false;
  *archive = file.substr(0, open);
  *member = file.substr(open + 1, file.size() - open - 2);
  return true;
}

// Reads the sections of an ld map: those in "Discarded input sections",
// and those placed in the output sections of the memory map (sections a
// /DISCARD/ statement drops are listed in neither).
bool ReadMap(const std::string& path, LinkMap* out) {
  std::ifstream in(path);
  if (!in) return false;
  enum { kOther, kDiscarded, kMemoryMap } part = kOther;
  std::string line, pending, output;
  while (std::getline(in, line)) {
    if (StartsWith(line, "Discarded input sections")) { part = kDiscarded; continue; }
    if (StartsWith(line, "Memory Configuration")) { part = kOther; continue; }
    if (StartsWith(line, "Linker script and memory map")) { part = kMemoryMap; continue; }
    if (part == kOther) continue;
    if (part == kMemoryMap && !line.empty() && line[0] != ' ') {
      std::istringstream words(line);
      words >> output;
      pending.clear();
      continue;
    }
    // " NAME 0xADDRESS 0xSIZE FILE", or " NAME" with the rest on the next line.
    std::istringstream words(line);
    std::string first, address, size;
    words >> first;
    std::string name;
    if (line.size() > 1 && line[0] == ' ' && line[1] == '.') {
      name = first;
      if (!(words >> address)) {
        pending = name;
        continue;
      }
      words >> size;
    } else if (!pending.empty() && StartsWith(first, "0x")) {
      name = pending;
      address = first;
      words >> size;
    }
    pending.clear();
    if (name.empty() || !StartsWith(address, "0x") || !StartsWith(size, "0x")) continue;
    std::string file;
    std::getline(words >> std::ws, file);
    if (file.empty()) continue;
    if (part == kDiscarded)
      out->discarded.insert({file, name});
    else if (output != "/DISCARD/")
      out->kept.insert({file, name});
  }
  return true;
}

// Runs the command, its standard output into the file when one is named;
// true when it exits with 0.
bool Run(const std::vector<std::string>& args, const char* output = nullptr) {
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (output)
    posix_spawn_file_actions_addopen(&actions, 1, output, O_WRONLY | O_CREAT | O_TRUNC, 0644);
  pid_t pid;
  const int failed = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (failed) {
    std::fprintf(stderr, "lwlink: cannot start %s\n", argv[0]);
    return false;
  }
  int status = 0;
  if (waitpid(pid, &status, 0) != pid) return false;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// The name of a file in a linker script: archive:member for a member.
std::string ScriptFile(const std::string& file) {
  std::string archive, member;
  if (SplitMember(file, &archive, &member)) return archive + ":" + member;
  return file;
}

// The unwind sections of code: .pdata$F and .xdata$F go with .text$F (and
// .pdata.unlikely.F with .text.unlikely.F); an object's own .pdata and
// .xdata go with all of its code.
struct Unwind {
  std::set<Section> dead;  // of code that is not kept
  std::set<Section> live;  // of code that is kept
};

Unwind SplitUnwind(const LinkMap& ordinary, const LinkMap& first,
                   const std::set<Section>& live) {
  std::set<std::string> codeKept;
  for (const Section& s : live)
    if (StartsWith(s.second, ".text")) codeKept.insert(s.first);
  // Only sections that exist count: those the ordinary link placed.
  auto add = [&](std::set<Section>* to, const std::string& file, const std::string& name) {
    if (ordinary.kept.count({file, name})) to->insert({file, name});
  };
  Unwind unwind;
  for (const std::string& file : codeKept) {
    add(&unwind.live, file, ".pdata");
    add(&unwind.live, file, ".xdata");
  }
  for (const Section& s : live) {
    if (!StartsWith(s.second, ".text")) continue;
    const std::string suffix = s.second.substr(5);
    add(&unwind.live, s.first, ".pdata" + suffix);
    add(&unwind.live, s.first, ".xdata" + suffix);
  }
  for (const Section& s : first.discarded) {
    if (!StartsWith(s.second, ".text") || live.count(s)) continue;
    const std::string suffix = s.second.substr(5);
    if (suffix.empty() && codeKept.count(s.first)) continue;
    for (const char* kind : {".pdata", ".xdata"})
      if (!unwind.live.count({s.first, kind + suffix}))  // an object's own, for code it keeps
        add(&unwind.dead, s.first, kind + suffix);
  }
  return unwind;
}

std::string Patterns(const std::set<Section>& sections, const char* prefix, const char* keep) {
  std::string out;
  for (const Section& s : sections)
    if (StartsWith(s.second, prefix))
      out += std::string("    ") + keep + (*keep ? "(" : "") + ScriptFile(s.first) + "(" +
             s.second + ")" + (*keep ? ")" : "") + "\n";
  return out;
}

// ld's script with the unwind sections placed by us: DISCARDED first, then
// .pdata and .xdata without KEEP, the .xdata sections named in ROOTS kept.
class Script {
 public:
  bool Load(const std::string& verbose) {
    std::ifstream in(verbose);
    std::string line, text;
    int rules = 0;
    while (std::getline(in, line)) {
      if (StartsWith(line, "==========")) {
        ++rules;
        continue;
      }
      if (rules == 1) text += line + "\n";
    }
    const char* const kPdata = "KEEP(*(.pdata*))";
    const char* const kXdata = "KEEP(*(.xdata*))";
    size_t p = text.find(kPdata), x = text.find(kXdata), head = text.find("  .pdata ");
    if (p == std::string::npos || x == std::string::npos || head == std::string::npos ||
        head > p || p > x)
      return false;
    before_ = text.substr(0, head);
    pdata_ = text.substr(head, p - head);
    xdata_ = text.substr(p + std::strlen(kPdata), x - p - std::strlen(kPdata));
    after_ = text.substr(x + std::strlen(kXdata));
    return true;
  }
  bool Write(const std::string& path, const std::string& discarded, const std::string& roots) const {
    std::ofstream out(path);
    out << before_ << "  /DISCARD/ :\n  {\n" << discarded << "  }\n"
        << pdata_ << "*(.pdata*)" << xdata_ << "\n" << roots << "    *(.xdata*)" << after_;
    return static_cast<bool>(out.flush());
  }

 private:
  std::string before_, pdata_, xdata_, after_;
};

// Names the first unwind section of the ordinary link that the program's
// code needs and the program lacks (empty when none): the code kept, with
// .pdata$F and .xdata$F for each .text$F and, for every object with code
// kept, its own .pdata and .xdata.
std::string MissingUnwind(const LinkMap& ordinary, const LinkMap& program) {
  for (const Section& s : program.kept) {
    if (!StartsWith(s.second, ".text")) continue;
    const std::string suffix = s.second.substr(5);
    for (const char* kind : {".pdata", ".xdata"})
      for (const Section& u : {Section{s.first, kind + suffix}, Section{s.first, kind}})
        if (ordinary.kept.count(u) && !program.kept.count(u)) return u.first + " " + u.second;
  }
  return "";
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> command(argv + 1, argv + argc);
  std::string program;
  for (size_t i = 0; i + 1 < command.size(); ++i)
    if (command[i] == "-o") program = command[i + 1];
  if (program.empty()) {
    std::fprintf(stderr, "usage: lwlink COMPILER ARGUMENTS... (with -o PROGRAM)\n");
    return 2;
  }
  const std::string mapPath = program + ".map", scriptPath = program + ".x";
  auto link = [&](const std::vector<std::string>& extra, const char* output = nullptr) {
    std::vector<std::string> args = command;
    args.insert(args.end(), extra.begin(), extra.end());
    return Run(args, output);
  };
  // When the passes cannot be made to work, the program is linked as the
  // command says: larger, never wrong.
  auto ordinaryLink = [&](const std::string& why) {
    std::fprintf(stderr, "lwlink: warning: %s; %s keeps all unwind data\n", why.c_str(),
                 program.c_str());
    if (link({"-Wl,-Map," + mapPath})) return 0;
    std::remove(program.c_str());
    return 1;
  };

  // The ordinary link, for ld's own script and for the unwind sections
  // that exist.
  const std::string verbose = program + ".ld";
  LinkMap ordinary;
  if (!link({"-Wl,--verbose", "-Wl,-Map," + mapPath}, verbose.c_str())) {
    std::remove(program.c_str());
    return 1;
  }
  Script script;
  if (!ReadMap(mapPath, &ordinary) || !script.Load(verbose))
    return ordinaryLink("ld's script does not keep .pdata and .xdata as expected");

  const std::vector<std::string> withScript = {"-Wl,-Map," + mapPath, "-Wl,-T," + scriptPath};
  LinkMap first;
  if (!script.Write(scriptPath, "    *(.pdata*)\n    *(.xdata*)\n", "") || !link(withScript) ||
      !ReadMap(mapPath, &first))
    return ordinaryLink("the link without unwind data failed");

  std::set<Section> live;
  for (const Section& s : first.kept)
    if (StartsWith(s.second, ".text")) live.insert(s);
  for (int pass = 2; pass <= 6; ++pass) {
    const Unwind unwind = SplitUnwind(ordinary, first, live);
    LinkMap result;
    if (!script.Write(scriptPath, Patterns(unwind.dead, ".", ""),
                      Patterns(unwind.live, ".xdata", "KEEP")) ||
        !link(withScript) || !ReadMap(mapPath, &result))
      return ordinaryLink("the link without the unwind data of unused code failed");
    // Code that only the unwind data kept reaches is kept now: its own
    // unwind sections were discarded, so keep them too and link again.
    const size_t before = live.size();
    for (const Section& s : result.kept)
      if (StartsWith(s.second, ".text")) live.insert(s);
    if (live.size() == before) {
      const std::string missing = MissingUnwind(ordinary, result);
      if (!missing.empty()) return ordinaryLink("the code kept lacks " + missing);
      return 0;
    }
  }
  return ordinaryLink("the unwind data did not settle");
}
