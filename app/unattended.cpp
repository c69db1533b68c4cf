#include "app/unattended.h"

#include <algorithm>
#include <climits>
#include <ctime>
#include <fstream>
#include <iterator>
#include <map>
#include <ostream>
#include <set>

#include "app/json.h"
#include "engine/app_context.h"
#include "engine/component_entry.h"
#include "engine/component_state.h"
#include "engine/components.h"
#include "engine/install_manager.h"
#include "platform/msi.h"
#include "platform/operation_log.h"
#include "platform/os_version.h"
#include "platform/portable.h"
#include "platform/registry.h"
#include "platform/ui/scripted_ui.h"
#include "platform/ui/ui.h"
#include "platform/win_types.h"

namespace {

struct Options {
  enum class Action { None, Install, Uninstall, Repair, DownloadOnly };
  Action action = Action::None;
  std::vector<std::string> names;
  bool list = false, json = false, yes = false, keepGoing = false, help = false;
  std::string report, compare;
};

// Reads the command line; an error text when it is not understood.
std::string parse(const std::vector<std::string>& args, Options& o) {
  using A = Options::Action;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto takesNames = [&](A action) -> std::string {
      if (o.action != A::None) return "only one of --install, --uninstall, --repair and --download-only may be given";
      o.action = action;
      while (i + 1 < args.size() && args[i + 1].rfind("--", 0) != 0) o.names.push_back(args[++i]);
      return o.names.empty() ? a + " needs at least one component name" : "";
    };
    auto takesFile = [&](std::string& file) -> std::string {
      if (i + 1 >= args.size() || args[i + 1].rfind("--", 0) == 0) return a + " needs a file name";
      file = args[++i];
      return "";
    };
    std::string error;
    if (a == "--list") o.list = true;
    else if (a == "--json") o.list = o.json = true;
    else if (a == "--yes") o.yes = true;
    else if (a == "--keep-going") o.keepGoing = true;
    else if (a == "--help" || a == "-h") o.help = true;
    else if (a == "--install") error = takesNames(A::Install);
    else if (a == "--uninstall") error = takesNames(A::Uninstall);
    else if (a == "--download-only") error = takesNames(A::DownloadOnly);
    else if (a == "--repair") {
      if (o.action != A::None) error = "only one of --install, --uninstall, --repair and --download-only may be given";
      o.action = A::Repair;
    } else if (a == "--report") error = takesFile(o.report);
    else if (a == "--compare") error = takesFile(o.compare);
    else error = "unknown option '" + a + "'";
    if (!error.empty()) return error;
  }
  return "";
}

std::string lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

size_t editDistance(const std::string& a, const std::string& b) {
  std::vector<size_t> row(b.size() + 1);
  for (size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    size_t diagonal = row[0];
    row[0] = i;
    for (size_t j = 1; j <= b.size(); ++j) {
      size_t up = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
      diagonal = up;
    }
  }
  return row[b.size()];
}

// The three known names closest to an unknown one.
std::vector<std::string> closestNames(const std::string& unknown) {
  std::vector<std::pair<size_t, std::string>> scored;
  const std::string u = lower(unknown);
  for (int i = 0; i < kComponentCount; ++i) {
    auto id = static_cast<ComponentId>(i);
    for (std::string known : {std::string(componentKey(id)), std::string(componentRecord(id).name)}) {
      std::string k = lower(known);
      size_t d = k.find(u) != std::string::npos ? 0 : editDistance(u, k);
      scored.emplace_back(d, known);
    }
  }
  std::stable_sort(scored.begin(), scored.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<std::string> out;
  for (const auto& s : scored) {
    if (out.size() == 3) break;
    if (std::find(out.begin(), out.end(), s.second) == out.end()) out.push_back(s.second);
  }
  return out;
}

// Every component of every page, in page order, with the strings the pages would show.
class Station {
 public:
  Station() {
    for (ComponentPage page : wizardComponentPages())
      for (ComponentId id : pageComponents(page, pageBuilds(page)))
        if (std::find(ids_.begin(), ids_.end(), id) == ids_.end()) {
          ids_.push_back(id);
          pages_.push_back(page);
        }
    strings_.resize(ids_.size());
    entries_.reserve(ids_.size());
    for (size_t i = 0; i < ids_.size(); ++i)
      entries_.emplace_back(ids_[i], &strings_[i].name, &strings_[i].state, &strings_[i].progress);
  }

  size_t size() const { return ids_.size(); }
  ComponentId id(size_t i) const { return ids_[i]; }
  ComponentPage page(size_t i) const { return pages_[i]; }
  ComponentEntry& entry(size_t i) { return entries_[i]; }
  const EntryStrings& strings(size_t i) const { return strings_[i]; }
  std::optional<size_t> indexOf(ComponentId id) const {
    auto it = std::find(ids_.begin(), ids_.end(), id);
    if (it == ids_.end()) return std::nullopt;
    return static_cast<size_t>(it - ids_.begin());
  }
  void evaluate() {
    std::vector<ComponentEntry*> all;
    for (auto& e : entries_) all.push_back(&e);
    mxInstallManagerBase manager;
    manager.setComponents(static_cast<unsigned>(all.size()), all.data());
    manager.updateComponentStates(0, static_cast<int>(all.size()) - 1);
    manager.releaseComponents();
  }

 private:
  std::vector<ComponentId> ids_;
  std::vector<ComponentPage> pages_;
  std::vector<EntryStrings> strings_;
  std::vector<ComponentEntry> entries_;
};

// Answers the wizard's questions on the console: OK boxes are reported, questions get the
// wizard's default answer with --yes, and are refused (the safe answer) without it.
class ConsoleUi : public ui::ScriptedUi {
 public:
  ConsoleUi(std::ostream& err, bool yes, bool keepGoing)
      : err_(err), yes_(yes), terminal_(platform::standardErrorIsTerminal()) {
    keepRecords(false);
    setModalLimit(INT_MAX);
    // A failed download of a batch: go on with the next or stop, as asked.
    whenShown("Unabe to Download Component", [keepGoing](ui::Window& w) {
      w.click(keepGoing ? 1148 : 1150);
    });
  }

  int refusedQuestions() const { return refused_; }
  // Questions the unattended mode answers itself (the repair it was asked for).
  void answerNext(int answer) { answers_.push_back(answer); }

  int messageBox(ui::Window*, const std::string& text, const std::string& caption,
                 unsigned type) override {
    endProgressLine();
    const unsigned buttons = type & 0xF;
    if (buttons == win::MB_OK) {
      err_ << caption << ": " << oneLine(text) << "\n";
      return win::IDOK;
    }
    if (!answers_.empty()) {
      int answer = answers_.front();
      answers_.erase(answers_.begin());
      err_ << "question: " << oneLine(text) << " -> " << answerName(answer) << "\n";
      return answer;
    }
    if (yes_) {
      int answer = defaultAnswer(type);
      err_ << "question: " << oneLine(text) << " -> " << answerName(answer) << " (--yes)\n";
      return answer;
    }
    ++refused_;
    err_ << "error: the installer asks: " << oneLine(text)
         << "\n  add --yes to answer it as the wizard's default would\n";
    return buttons == win::MB_YESNO ? win::IDNO : win::IDCANCEL;
  }

 protected:
  void shownText(const ui::Window&, const ui::Control* c, const std::string& text) override {
    if (!c || c->kind != ui::ControlKind::Static || text.empty()) return;
    if (text.rfind("Downloaded ", 0) == 0) {
      // The byte counter: a line that redraws itself on a terminal, nothing in a log.
      if (!terminal_) return;
      err_ << "\r  " << text << "          " << std::flush;
      progressLine_ = true;
      return;
    }
    endProgressLine();
    err_ << "  " << oneLine(text) << "\n";
  }

 private:
  void endProgressLine() {
    if (progressLine_) err_ << "\n";
    progressLine_ = false;
  }
  static std::string oneLine(std::string s) {
    std::replace(s.begin(), s.end(), '\n', ' ');
    std::replace(s.begin(), s.end(), '\r', ' ');
    return s;
  }
  static int defaultAnswer(unsigned type) {
    const bool second = (type & 0xF00) == 0x100;  // MB_DEFBUTTON2
    switch (type & 0xF) {
      case win::MB_YESNO: return second ? win::IDNO : win::IDYES;
      case win::MB_OKCANCEL: return second ? win::IDCANCEL : win::IDOK;
      default: return second ? win::IDNO : win::IDYES;
    }
  }
  static const char* answerName(int answer) {
    switch (answer) {
      case win::IDYES: return "Yes";
      case win::IDNO: return "No";
      case win::IDOK: return "OK";
      default: return "Cancel";
    }
  }

  std::ostream& err_;
  bool yes_;
  bool terminal_;
  bool progressLine_ = false;
  int refused_ = 0;
  std::vector<int> answers_;
};

// The install manager with a line per step and each step's result kept.
class ConsoleManager : public mxInstallManagerBase {
 public:
  explicit ConsoleManager(std::ostream& err) : err_(err) {}
  std::map<std::string, int> results;

  int installComponent(const ComponentEntry& e, int position, int total) override {
    // What no rule can find once installed (an installer the user runs later) is fetched.
    if (e.record() && !e.record()->detected) return downloadComponent(e, position, total);
    return step("Installing", e, position, total,
                [&] { return mxInstallManagerBase::installComponent(e, position, total); });
  }
  int uninstallComponent(const ComponentEntry& e, int position, int total) override {
    return step("Removing", e, position, total,
                [&] { return mxInstallManagerBase::uninstallComponent(e, position, total); });
  }
  int downloadComponent(const ComponentEntry& e, int position, int total) override {
    return step("Downloading", e, position, total,
                [&] { return mxInstallManagerBase::downloadComponent(e, position, total); });
  }
  int repairComponent(const ComponentEntry& e) override {
    err_ << "Repairing " << e.name << "\n";
    return mxInstallManagerBase::repairComponent(e);
  }

 private:
  template <typename F>
  int step(const char* what, const ComponentEntry& e, int position, int total, F run) {
    err_ << "[" << position << "/" << total << "] " << what << " " << e.name << "\n";
    platform::logOperation(std::string("Unattended: ") + what + " " + e.name);
    int result = run();
    results[e.name] = result;
    err_ << "  " << e.name << ": " << (result > 0 ? "done" : "failed") << "\n";
    return result;
  }
  std::ostream& err_;
};

std::string osName() {
  char shortName[kOsNameBufferSize] = "";
  char fullName[kOsNameBufferSize] = "";
  bool is64 = false;
  if (!queryOSVersion(shortName, fullName, &is64)) return "Unknown Operating System";
  return fullName;
}

// What the machine holds under a component's name: an installer product or an uninstall
// entry with that display name.
struct Found {
  std::string code, version, folder;
};

std::map<std::string, Found> foundByName() {
  std::map<std::string, Found> found;
  std::string code;
  for (unsigned i = 0; platform::msi::enumProducts(i, code) == 0; ++i) {
    std::string name, version, folder;
    platform::msi::getProductInfo(code, "ProductName", name, 1024);
    platform::msi::getProductInfo(code, "VersionString", version, 1024);
    platform::msi::getProductInfo(code, "InstallLocation", folder, 1024);
    if (!name.empty()) found[lower(name)] = {code, version, folder};
  }
  using platform::registry::Hive;
  const std::string uninstall = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
  for (const std::string& key : platform::registry::subKeyNames(Hive::LocalMachine, uninstall)) {
    const std::string path = uninstall + "\\" + key;
    auto name = platform::registry::readString(Hive::LocalMachine, path, "DisplayName", 1024);
    if (!name || found.count(lower(*name))) continue;
    found[lower(*name)] = {
        key, platform::registry::readString(Hive::LocalMachine, path, "DisplayVersion", 1024).value_or(""),
        platform::registry::readString(Hive::LocalMachine, path, "InstallLocation", 1024).value_or("")};
  }
  return found;
}

std::string reportText(Station& station) {
  const std::map<std::string, Found> found = foundByName();
  char when[64];
  std::tm t = platform::localTime(std::time(nullptr));
  std::strftime(when, sizeof when, "%Y-%m-%dT%H:%M:%S", &t);
  std::string out = "{\n  \"installer\": " + json::quote(kInstallerCaption) +
                    ",\n  \"operatingSystem\": " + json::quote(osName()) +
                    ",\n  \"time\": " + json::quote(when) + ",\n  \"components\": [";
  for (size_t i = 0; i < station.size(); ++i) {
    const EntryStrings& s = station.strings(i);
    out += i ? ",\n" : "\n";
    out += "    {\"id\": " + json::quote(componentKey(station.id(i))) +
           ", \"name\": " + json::quote(s.name) +
           ", \"page\": " + json::quote(componentPageTitle(station.page(i))) +
           ", \"state\": " + json::quote(s.state) + ", \"status\": " + json::quote(s.progress);
    auto f = found.find(lower(s.name));
    if (f != found.end())
      out += ", \"found\": {\"code\": " + json::quote(f->second.code) +
             ", \"version\": " + json::quote(f->second.version) +
             ", \"folder\": " + json::quote(f->second.folder) + "}";
    out += "}";
  }
  return out + "\n  ]\n}\n";
}

void printList(Station& station, bool asJson, std::ostream& out) {
  if (asJson) {
    out << "[";
    for (size_t i = 0; i < station.size(); ++i) {
      const EntryStrings& s = station.strings(i);
      out << (i ? ",\n " : "\n ") << "{\"id\": " << json::quote(componentKey(station.id(i)))
          << ", \"name\": " << json::quote(s.name)
          << ", \"page\": " << json::quote(componentPageTitle(station.page(i)))
          << ", \"state\": " << json::quote(s.state) << ", \"status\": " << json::quote(s.progress)
          << "}";
    }
    out << "\n]\n";
    return;
  }
  const char* page = nullptr;
  for (size_t i = 0; i < station.size(); ++i) {
    if (page != componentPageTitle(station.page(i))) {
      page = componentPageTitle(station.page(i));
      out << page << "\n";
    }
    const EntryStrings& s = station.strings(i);
    std::string line = "  " + std::string(componentKey(station.id(i)));
    line.resize(std::max<size_t>(line.size() + 1, 24), ' ');
    line += s.name;
    line.resize(std::max<size_t>(line.size() + 1, 82), ' ');
    line += s.state;
    if (!s.progress.empty()) line += "  (" + s.progress + ")";
    out << line << "\n";
  }
}

// The differences between this station's report and a reference's, as table rows.
int compareReports(const json::Value& here, const json::Value& there, std::ostream& out) {
  auto byId = [](const json::Value& report) {
    std::map<std::string, const json::Value*> m;
    if (const json::Value* list = report.find("components"))
      for (const json::Value& c : list->array) m[c.text("id")] = &c;
    return m;
  };
  auto mine = byId(here), theirs = byId(there);
  auto version = [](const json::Value* c) {
    const json::Value* f = c->find("found");
    return f ? f->text("version") : std::string();
  };
  std::vector<std::vector<std::string>> rows;
  std::set<std::string> ids;
  for (auto& [id, c] : mine) ids.insert(id);
  for (auto& [id, c] : theirs) ids.insert(id);
  for (const std::string& id : ids) {
    auto a = mine.find(id), b = theirs.find(id);
    const std::string stateA = a == mine.end() ? "" : a->second->text("state");
    const std::string stateB = b == theirs.end() ? "" : b->second->text("state");
    const bool installedA = stateA != "" && stateA != "Not Installed";
    const bool installedB = stateB != "" && stateB != "Not Installed";
    if (!installedA && !installedB) continue;
    std::string name = (a != mine.end() ? a->second : b->second)->text("name");
    if (!installedA)
      rows.push_back({"missing", name, stateA, stateB});
    else if (!installedB)
      rows.push_back({"extra", name, stateA, stateB});
    else if (version(a->second) != version(b->second))
      rows.push_back({"other version", name, version(a->second), version(b->second)});
    else if (stateA != stateB)
      rows.push_back({"other state", name, stateA, stateB});
  }
  if (rows.empty()) {
    out << "The stations match.\n";
    return kExitDone;
  }
  std::vector<std::string> head = {"Difference", "Component", "This station", "Reference"};
  std::vector<size_t> width(4);
  rows.insert(rows.begin(), head);
  for (auto& r : rows)
    for (size_t i = 0; i < 4; ++i) width[i] = std::max(width[i], r[i].size());
  for (auto& r : rows) {
    std::string line;
    for (size_t i = 0; i < 4; ++i) {
      line += r[i];
      if (i < 3) line += std::string(width[i] - r[i].size() + 2, ' ');
    }
    out << line << "\n";
  }
  return kExitStationsDiffer;
}

// Reports are files of the computer the script runs on, not of the machine it manages.
bool readFile(const std::string& path, std::string& data) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  data.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return true;
}

bool writeFile(const std::string& path, const std::string& data) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  return out.write(data.data(), static_cast<std::streamsize>(data.size())) && out.flush();
}

}  // namespace

bool isUnattendedCommandLine(const std::vector<std::string>& args) {
  return std::any_of(args.begin(), args.end(),
                     [](const std::string& a) { return a.rfind("--", 0) == 0 || a == "-h"; });
}

std::string unattendedUsage() {
  return "usage: installer [--list [--json]] [--install NAME...|--uninstall NAME...|--repair|\n"
         "                 --download-only NAME...] [--yes] [--keep-going]\n"
         "                 [--report FILE] [--compare REFERENCE]\n"
         "Without options the wizard opens. NAME is a component's identifier or display name,\n"
         "in any letter case (--list shows them). Exit codes: 0 done, 1 something failed,\n"
         "2 bad arguments or an unknown name, 3 the station differs from the reference.\n";
}

int runUnattended(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  Options o;
  std::string error = parse(args, o);
  if (!error.empty()) {
    err << "error: " << error << "\n" << unattendedUsage();
    return kExitBadArguments;
  }
  if (o.help) {
    out << unattendedUsage();
    return kExitDone;
  }
  Station station;
  // Names first: nothing is done for a command line that names an unknown component.
  std::vector<size_t> chosen;
  for (const std::string& name : o.names) {
    auto id = findComponentByKeyOrName(name);
    auto index = id ? station.indexOf(*id) : std::nullopt;
    if (!index) {
      err << "error: no component is called '" << name << "'. Closest names:";
      for (const std::string& n : closestNames(name)) err << "\n  " << n;
      err << "\n";
      return kExitBadArguments;
    }
    if (std::find(chosen.begin(), chosen.end(), *index) == chosen.end()) chosen.push_back(*index);
  }
  std::optional<json::Value> reference;
  if (!o.compare.empty()) {
    std::string text, why;
    if (!readFile(o.compare, text)) {
      err << "error: cannot read the reference report " << o.compare << "\n";
      return kExitBadArguments;
    }
    reference = json::parse(text, &why);
    if (!reference) {
      err << "error: the reference report " << o.compare << " is " << why << "\n";
      return kExitBadArguments;
    }
  }
  // The wizard's order, whatever the order of the names.
  std::sort(chosen.begin(), chosen.end());

  ConsoleUi console(err, o.yes, o.keepGoing);
  ui::Backend* previous = ui::currentBackend();
  ui::setBackend(&console);
  int code = kExitDone;
  station.evaluate();

  using A = Options::Action;
  if (o.action != A::None) {
    // The whole station is the batch's list, as a page's whole list is for its buttons: what
    // is broken anywhere is repaired first.
    ConsoleManager manager(err);
    std::vector<ComponentEntry*> all;
    for (size_t i = 0; i < station.size(); ++i) all.push_back(&station.entry(i));
    manager.setComponents(static_cast<unsigned>(all.size()), all.data());
    std::vector<int> batch;
    std::vector<size_t> indices = chosen;
    if (o.action == A::Repair)
      for (size_t i = 0; i < station.size(); ++i) indices.push_back(i);
    for (size_t i : indices) {
      ComponentState s = station.entry(i).stateValue();
      bool wanted = o.action == A::Install     ? s != ComponentState::Installed
                    : o.action == A::Uninstall ? s != ComponentState::NotInstalled
                    : o.action == A::Repair    ? isRepairState(s)
                                               : true;
      if (wanted)
        batch.push_back(static_cast<int>(i));
      else if (o.action != A::Repair)
        err << station.strings(i).name << ": already " << station.strings(i).state << "\n";
    }
    const int n = static_cast<int>(batch.size());
    int result = 1;
    if (n > 0) {
      // --repair is the answer to the repair question.
      if (o.action == A::Repair) console.answerNext(win::IDYES);
      switch (o.action) {
        case A::Install:
        case A::Repair:
          if (o.keepGoing) {
            for (int i : batch)
              if (manager.installSelectedComponents(&i, 1) <= 0) result = -1;
          } else {
            result = manager.installSelectedComponents(batch.data(), n);
          }
          break;
        case A::Uninstall:
          // Last first, as the pages remove.
          for (auto i = batch.rbegin(); i != batch.rend(); ++i)
            if (manager.uninstallComponents(*i, *i) <= 0) {
              result = -1;
              if (!o.keepGoing) break;
            }
          break;
        case A::DownloadOnly: {
          bool skipAll = o.keepGoing;
          result = manager.downloadSelectedComponents(batch.data(), n, false, &skipAll);
          break;
        }
        case A::None: break;
      }
    }
    manager.releaseComponents();
    station.evaluate();
    for (int i : batch) {
      ComponentEntry& e = station.entry(static_cast<size_t>(i));
      auto r = manager.results.find(e.name);
      bool ok = r != manager.results.end() && r->second > 0;
      // An install is done when the component is found whole afterwards (what no rule can
      // find is taken at its installer's word); a removal when it is gone.
      if (o.action == A::Install || o.action == A::Repair)
        ok = ok && (e.stateValue() == ComponentState::Installed || !e.record()->detected);
      if (o.action == A::Uninstall) ok = ok && e.stateValue() == ComponentState::NotInstalled;
      out << e.name << ": " << (ok ? "done" : "failed") << " (" << e.state() << ")\n";
      if (!ok) result = -1;
    }
    if (result <= 0 || console.refusedQuestions() > 0) code = kExitFailed;
  }
  if (o.list) printList(station, o.json, out);
  if (!o.report.empty()) {
    if (writeFile(o.report, reportText(station))) {
      err << "Station report written to " << o.report << "\n";
    } else {
      err << "error: cannot write the station report " << o.report << "\n";
      code = kExitFailed;
    }
  }
  if (reference) {
    std::optional<json::Value> here = json::parse(reportText(station));
    int compared = compareReports(*here, *reference, out);
    if (code == kExitDone) code = compared;
  }
  ui::setBackend(previous);
  return code;
}
