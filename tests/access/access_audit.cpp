// Checks a Wine run against what Windows would refuse: Wine checks share
// modes but not, for most operations, the access a handle was opened with.
// Reads on standard input the trace of a run made with
// WINEDEBUG=-all,+server,+file and a wineserver that run started (so that
// the server's requests and the programs' file calls land in one stream), and
// checks every file operation of the project's own processes (all but Wine's
// programs in C:\windows) against the table named on the command line: the
// handle's access must cover what Microsoft documents for that operation.
// Lines that are not the trace's pass through to standard error. Exits 1
// when an operation would be refused, naming it, the file and its access.
#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <map>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <vector>

namespace {

using Mask = uint32_t;

const std::map<std::string, Mask> kRights = {{"FILE_READ_DATA", 0x1},
                                             {"FILE_LIST_DIRECTORY", 0x1},
                                             {"FILE_WRITE_DATA", 0x2},
                                             {"FILE_ADD_FILE", 0x2},
                                             {"FILE_APPEND_DATA", 0x4},
                                             {"FILE_READ_EA", 0x8},
                                             {"FILE_WRITE_EA", 0x10},
                                             {"FILE_EXECUTE", 0x20},
                                             {"FILE_DELETE_CHILD", 0x40},
                                             {"FILE_READ_ATTRIBUTES", 0x80},
                                             {"FILE_WRITE_ATTRIBUTES", 0x100},
                                             {"DELETE", 0x10000},
                                             {"READ_CONTROL", 0x20000},
                                             {"WRITE_DAC", 0x40000},
                                             {"WRITE_OWNER", 0x80000},
                                             {"SYNCHRONIZE", 0x100000},
                                             {"ACCESS_SYSTEM_SECURITY", 0x1000000}};

// The generic rights as Windows maps them for files ("File Security and
// Access Rights"); the server's requests show them unmapped.
Mask MapGeneric(Mask access) {
  Mask mapped = access & 0x0fffffff;
  if (access & 0x80000000) mapped |= 0x120089;  // FILE_GENERIC_READ
  if (access & 0x40000000) mapped |= 0x120116;  // FILE_GENERIC_WRITE
  if (access & 0x20000000) mapped |= 0x1200a0;  // FILE_GENERIC_EXECUTE
  if (access & 0x10000000) mapped |= 0x1f01ff;  // FILE_ALL_ACCESS
  if (access & 0x02000000) mapped |= 0x1f01ff;  // MAXIMUM_ALLOWED
  return mapped & ~0x02000000u;
}

std::string Names(Mask mask, bool folder) {
  std::string names;
  for (const auto& [name, bit] : kRights) {
    if (!(mask & bit)) continue;
    if (bit == 0x1 && (name == "FILE_LIST_DIRECTORY") != folder) continue;
    if (bit == 0x2 && (name == "FILE_ADD_FILE") != folder) continue;
    names += (names.empty() ? "" : "|") + name;
  }
  return names.empty() ? "nothing" : names;
}

struct Rule {
  bool any = false;  // any one of the rights, else all of them
  Mask rights = 0;
  std::string what, page;
};

// "call class" -> rule; class "-" for calls that have none.
std::map<std::string, Rule> ReadTable(const char* path) {
  std::ifstream in(path);
  if (!in) throw std::runtime_error(std::string("cannot read ") + path);
  std::map<std::string, Rule> rules;
  for (std::string line; std::getline(in, line);) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    std::string call, cls, need, rights;
    Rule rule;
    fields >> call >> cls >> need >> rights >> rule.what;
    std::getline(fields >> std::ws, rule.page);
    if (rule.page.empty() || (need != "all" && need != "any" && need != "none")) {
      throw std::runtime_error("bad row: " + line);
    }
    rule.any = need == "any";
    for (std::size_t begin = 0; need != "none" && begin <= rights.size();) {
      const std::size_t end = std::min(rights.find('|', begin), rights.size());
      const auto right = kRights.find(rights.substr(begin, end - begin));
      if (right == kRights.end()) throw std::runtime_error("unknown right in: " + line);
      rule.rights |= right->second;
      begin = end + 1;
    }
    if (cls != "-") cls = std::to_string(std::stoul(cls, nullptr, 0));
    rules[call + " " + cls] = rule;
  }
  return rules;
}

// The value after "key=" up to the next ',', ' ', '}' or ')'.
bool Field(const std::string& line, const char* key, std::string& value) {
  const std::size_t at = line.find(key);
  if (at == std::string::npos) return false;
  const std::size_t begin = at + std::char_traits<char>::length(key);
  value = line.substr(begin, line.find_first_of(",} )", begin) - begin);
  return true;
}

// A number as the trace prints it ("009c", "0x9c"); false for anything else,
// so that a line cut short is passed over.
bool Hex(const std::string& text, uint32_t& value) {
  if (text.empty()) return false;
  char* end = nullptr;
  value = static_cast<uint32_t>(std::strtoul(text.c_str(), &end, 16));
  return *end == '\0';
}

bool HexField(const std::string& line, const char* key, uint32_t& value) {
  std::string text;
  return Field(line, key, text) && Hex(text, value);
}

// A quoted name as the trace prints it, its backslashes unescaped.
std::string QuotedAfter(const std::string& line, const char* key) {
  const std::size_t at = line.find(key);
  if (at == std::string::npos) return {};
  std::string name;
  for (std::size_t i = at + std::char_traits<char>::length(key); i < line.size(); ++i) {
    if (line[i] == '"') break;
    if (line[i] == '\\' && i + 1 < line.size()) ++i;
    name += line[i];
  }
  return name.compare(0, 4, "\\??\\") == 0 ? name.substr(4) : name;
}

struct Handle {
  Mask access = 0;
  bool folder = false;
  std::string name;
};

struct Request {  // a request of a thread, kept until its reply
  std::string call, line;
};

class Audit {
 public:
  explicit Audit(std::map<std::string, Rule> rules) : rules_(std::move(rules)) {}

  void Line(const std::string& line) {
    if (line.size() < 6 || line[4] != ':' || line.find_first_not_of("0123456789abcdef") != 4) {
      if (line.compare(0, 11, "wineserver:") != 0 && line.compare(0, 10, "sock_init:") != 0) {
        std::cerr << line << '\n';  // the program's own output
      }
      return;
    }
    uint32_t tid = 0;
    Hex(line.substr(0, 4), tid);
    if (line.compare(5, 11, "trace:file:") == 0) {
      FileCall(tid, line.substr(16));
    } else if (line[5] == ' ') {
      Server(tid, line.substr(6));
    }
  }

  int Finish() const {
    std::cerr << "access audit: " << checked_ << " file operations checked in " << audited_.size()
              << " processes, " << unknown_ << " on handles of unknown access, " << refused_.size()
              << " that Windows would refuse\n";
    return refused_.empty() ? 0 : 1;
  }

 private:
  uint32_t Pid(uint32_t tid) const {
    const auto found = pidOf_.find(tid);
    return found == pidOf_.end() ? 0 : found->second;
  }

  // Ours unless Wine started it from its own folder.
  bool Audited(uint32_t pid) const {
    const auto image = imageOf_.find(pid);
    if (image == imageOf_.end()) return true;
    std::string lower;
    for (char c : image->second) lower += static_cast<char>(std::tolower(c));
    return lower.compare(0, 11, "c:\\windows\\") != 0;
  }

  // "NtQueryInformationFile (0x9c,io,buffer,length,class)" and the like: the
  // handle first, and for some calls a class among the arguments.
  void FileCall(uint32_t tid, const std::string& text) {
    const std::size_t open = text.find(" (0x");
    if (open == std::string::npos) return;  // a result line
    const std::string call = text.substr(0, open);
    std::size_t classAt = 0;  // none
    if (call == "NtQueryInformationFile" || call == "NtSetInformationFile") {
      classAt = 4;
    } else if (call == "NtFsControlFile") {
      classAt = 5;
    } else if (call != "NtQueryDirectoryFile" && call != "NtReadFile" && call != "NtWriteFile") {
      return;
    }
    // A listing's arguments are separated by spaces, the others' by commas.
    std::vector<std::string> args;
    std::istringstream list(text.substr(open + 2, text.rfind(')') - open - 2));
    for (std::string arg; std::getline(list, arg, call == "NtQueryDirectoryFile" ? ' ' : ',');) {
      args.push_back(arg);
    }
    uint32_t handle = 0, cls = 0;
    if (args.size() <= classAt || !Hex(args[0], handle) || (classAt && !Hex(args[classAt], cls))) {
      return;
    }
    Check(Pid(tid), handle, call, classAt ? std::to_string(cls) : "-");
  }

  void Server(uint32_t tid, const std::string& text) {
    const std::size_t paren = text.find('(');
    if (paren == std::string::npos) return;
    const std::string call = text.substr(0, paren);
    const bool reply = text.compare(paren, 5, "() = ") == 0;
    const uint32_t pid = Pid(tid);
    if (!reply) {
      if (call == "close_handle") {
        uint32_t handle = 0;
        if (HexField(text, "handle=", handle)) handles_.erase({pid, handle});
      } else if (call == "get_security_object" || call == "set_security_object") {
        Security(pid, text, call == "get_security_object");
      } else if (call == "flush") {
        uint32_t handle = 0;
        if (HexField(text, "async={handle=", handle)) Check(pid, handle, "NtFlushBuffersFile", "-");
      }
      pending_[tid] = {call, text};
      return;
    }
    const auto request = pending_.find(tid);
    if (request == pending_.end() || request->second.call != call) return;
    const std::string asked = std::move(request->second.line);
    pending_.erase(request);
    if (text.compare(paren + 5, 2, "0 ") != 0) return;  // failed
    uint32_t value = 0;
    if (call == "init_first_thread") {
      uint32_t newPid = 0, newTid = 0;
      if (HexField(text, "pid=", newPid) && HexField(text, "tid=", newTid)) pidOf_[newTid] = newPid;
    } else if (call == "new_thread") {
      if (HexField(text, "tid=", value) && asked.find("process=ffffffff") != std::string::npos) {
        pidOf_[value] = pid;
      }
    } else if (call == "new_process") {
      if (HexField(text, "pid=", value)) {
        imageOf_[value] = QuotedAfter(asked, "imagepath=L\"");
        Inherited(pid, value, asked);
      }
    } else if (call == "create_file" || call == "open_file_object" || call == "create_named_pipe") {
      Opened(pid, text, asked);
    } else if (call == "dup_handle") {
      Duplicated(pid, text, asked);
    } else if (call == "get_handle_fd") {
      uint32_t handle = 0;
      if (HexField(asked, "handle=", handle) && HexField(text, "access=", value)) {
        Handle& known = handles_[{pid, handle}];
        known.access = value;  // the server's own word
        std::string number;
        if (known.name.empty() && Field(asked, "handle=", number)) known.name = "handle " + number;
      }
    }
  }

  void Opened(uint32_t pid, const std::string& reply, const std::string& asked) {
    uint32_t handle = 0, access = 0, root = 0, options = 0;
    if (!HexField(reply, "handle=", handle) || !HexField(asked, "access=", access)) return;
    HexField(asked, "rootdir=", root);
    HexField(asked, "options=", options);
    std::string name = QuotedAfter(asked, "name=L\"");
    if (name.empty()) name = QuotedAfter(asked, "filename=L\"");
    const auto parent = handles_.find({pid, root});
    if (root && parent != handles_.end()) name = parent->second.name + "\\" + name;
    handles_[{pid, handle}] = {MapGeneric(access), (options & 0x1) != 0, name};
    constexpr uint32_t kDeleteOnClose = 0x1000;  // FILE_DELETE_ON_CLOSE
    if (options & kDeleteOnClose)
      Check(pid, handle, "NtCreateFile", std::to_string(kDeleteOnClose));
  }

  // A new process's inherited handles ("handles={00000068,...}") are the
  // parent's, under the same numbers and with the same access.
  void Inherited(uint32_t parent, uint32_t child, const std::string& asked) {
    const std::size_t at = asked.find("handles={");
    if (at == std::string::npos) return;
    std::istringstream list(asked.substr(at + 9, asked.find('}', at) - at - 9));
    for (std::string number; std::getline(list, number, ',');) {
      uint32_t handle = 0;
      if (!Hex(number, handle)) continue;
      const auto from = handles_.find({parent, handle});
      if (from != handles_.end()) handles_[{child, handle}] = from->second;
    }
  }

  void Duplicated(uint32_t pid, const std::string& reply, const std::string& asked) {
    uint32_t handle = 0, source = 0, access = 0, options = 0;
    if (!HexField(reply, "handle=", handle) || !HexField(asked, "src_handle=", source) ||
        asked.find("src_process=ffffffff") == std::string::npos ||
        asked.find("dst_process=ffffffff") == std::string::npos) {
      return;
    }
    HexField(asked, "access=", access);
    HexField(asked, "options=", options);
    const auto from = handles_.find({pid, source});
    if (from == handles_.end()) return;
    Handle copy = from->second;
    if (!(options & 0x2)) copy.access = MapGeneric(access);  // DUPLICATE_SAME_ACCESS
    handles_[{pid, handle}] = copy;
  }

  // Each part of the descriptor asked for needs its own right.
  void Security(uint32_t pid, const std::string& text, bool query) {
    uint32_t handle = 0, parts = 0;
    if (!HexField(text, "handle=", handle) || !HexField(text, "security_info=", parts)) return;
    for (uint32_t bit = 1; bit <= 8; bit <<= 1) {
      if (parts & bit) {
        Check(pid, handle, query ? "NtQuerySecurityObject" : "NtSetSecurityObject",
              std::to_string(bit));
      }
    }
  }

  void Check(uint32_t pid, uint32_t handle, const std::string& call, const std::string& cls) {
    if (!Audited(pid)) return;
    const auto rule = rules_.find(call + " " + cls);
    if (rule == rules_.end()) return;
    const auto found = handles_.find({pid, handle});
    if (found == handles_.end()) {
      ++unknown_;
      return;
    }
    ++checked_;
    audited_.insert(pid);
    const Rule& need = rule->second;
    const Handle& h = found->second;
    const Mask has = h.access & need.rights;
    if (need.any ? (has != 0 || need.rights == 0) : has == need.rights) return;
    std::ostringstream report;
    const auto image = imageOf_.find(pid);
    report << "access: " << call << " " << need.what << " on \"" << h.name << "\" ("
           << (image == imageOf_.end() ? "first process" : image->second) << "), opened with "
           << Names(h.access, h.folder) << ", needs " << (need.any ? "one of " : "")
           << Names(need.rights & ~has, h.folder) << " [" << need.page << "]";
    if (refused_.insert(report.str()).second) std::cerr << report.str() << '\n';
  }

  std::map<std::string, Rule> rules_;
  std::unordered_map<uint32_t, uint32_t> pidOf_;
  std::unordered_map<uint32_t, std::string> imageOf_;
  std::unordered_map<uint32_t, Request> pending_;
  std::map<std::pair<uint32_t, uint32_t>, Handle> handles_;
  std::set<uint32_t> audited_;
  std::set<std::string> refused_;
  long checked_ = 0, unknown_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s RIGHTS-TABLE < TRACE\n", argv[0]);
    return 2;
  }
  try {
    Audit audit(ReadTable(argv[1]));
    std::ios::sync_with_stdio(false);
    for (std::string line; std::getline(std::cin, line);) audit.Line(line);
    return audit.Finish();
  } catch (const std::exception& error) {
    std::fprintf(stderr, "access audit: %s\n", error.what());
    return 2;
  }
}
