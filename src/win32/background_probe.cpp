#include "win32/background_probe.h"

#include <cstring>
#include <cwchar>

#include "win32/d3d9_probe.h"
#include "win32/elevated/elevated.h"

namespace vorn {
namespace {

// A record is its kind, the size of what follows, then its fields.
constexpr uint32_t kAnswerRecord = 0x31415056;  // "VPA1": Direct3D 9's answer
constexpr uint32_t kMemoryRecord = 0x314D5056;  // "VPM1": DXGI's video memory
// A description is at most 512 characters (D3DADAPTER_IDENTIFIER9); more
// than this is no record of the child's.
constexpr uint32_t kMaxRecordBytes = 4096;
// The pipe holds both records, so the child never waits for the reader.
constexpr DWORD kPipeBytes = 64 * 1024;
// How long ending the child may take before its reader counts as lost.
constexpr DWORD kEndingMs = 2000;

void Put(std::string& bytes, uint32_t value) {
  bytes.append(reinterpret_cast<const char*>(&value), sizeof(value));
}

bool Take(const std::string& bytes, std::size_t& at, uint32_t& value) {
  if (bytes.size() - at < sizeof(value)) return false;
  std::memcpy(&value, bytes.data() + at, sizeof(value));
  at += sizeof(value);
  return true;
}

std::string Record(uint32_t kind, const std::string& fields) {
  std::string bytes;
  Put(bytes, kind);
  Put(bytes, static_cast<uint32_t>(fields.size()));
  return bytes + fields;
}

// The fields of a whole record of that kind; false for anything else.
bool FieldsOf(const std::string& bytes, uint32_t kind, std::size_t& at) {
  uint32_t found = 0, size = 0;
  at = 0;
  return Take(bytes, at, found) && found == kind && Take(bytes, at, size) &&
         size == bytes.size() - at;
}

bool Write(HANDLE pipe, const std::string& bytes) {
  DWORD written = 0;
  return WriteFile(pipe, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size();
}

// Reads exactly `size` bytes; false at the pipe's end or on an error.
bool ReadExactly(HANDLE pipe, std::string& bytes, std::size_t size) {
  const std::size_t start = bytes.size();
  bytes.resize(start + size);
  for (std::size_t done = 0; done < size;) {
    DWORD read = 0;
    if (!ReadFile(pipe, &bytes[start + done], static_cast<DWORD>(size - done), &read, nullptr) ||
        read == 0) {
      return false;
    }
    done += read;
  }
  return true;
}

// One record, whatever its kind; false at the pipe's end or past the bound.
bool ReadRecord(HANDLE pipe, std::string& bytes) {
  bytes.clear();
  uint32_t size = 0;
  if (!ReadExactly(pipe, bytes, 2 * sizeof(uint32_t))) return false;
  std::memcpy(&size, bytes.data() + sizeof(uint32_t), sizeof(size));
  return size <= kMaxRecordBytes && ReadExactly(pipe, bytes, size);
}

// A crash in the child ends it at once, with no error report to wait for.
LONG WINAPI EndOnCrash(EXCEPTION_POINTERS* exception) {
  TerminateProcess(GetCurrentProcess(), exception->ExceptionRecord->ExceptionCode);
  return EXCEPTION_EXECUTE_HANDLER;
}

// A job that ends the child when the tool ends, however it ends, and keeps a
// crash of the child from waiting for an error report. Empty where the child
// cannot be put in one (a job of the tool's own on Windows 7).
ScopedHandle JobEndingWithTool(HANDLE process) {
  ScopedHandle job(CreateJobObjectW(nullptr, nullptr));
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
  limits.BasicLimitInformation.LimitFlags =
      JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE | JOB_OBJECT_LIMIT_DIE_ON_UNHANDLED_EXCEPTION;
  if (!job ||
      !SetInformationJobObject(job.get(), JobObjectExtendedLimitInformation, &limits,
                               sizeof(limits)) ||
      !AssignProcessToJobObject(job.get(), process)) {
    return ScopedHandle(nullptr);
  }
  return job;
}

// Starts `program` (this program's own file when empty, held so that no one
// can swap it in between) with the switch and `pipe`, the one handle it
// inherits, in the system folder. Null when it cannot be started.
ScopedHandle StartChild(const std::wstring& program, HANDLE pipe, ScopedHandle& job) {
  HeldProgramFile held;
  if (program.empty() && !HoldProgramFile(held)) return ScopedHandle(nullptr);
  const std::wstring path = program.empty() ? held.path : program;
  std::wstring commandLine = L"\"" + path + L"\" " + kProbeSwitch + L" " +
                             std::to_wstring(reinterpret_cast<ULONG_PTR>(pipe));
  SIZE_T size = 0;
  InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
  std::vector<char> buffer(size);
  const auto attributes = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(buffer.data());
  if (!SetHandleInformation(pipe, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT) ||
      !InitializeProcThreadAttributeList(attributes, 1, 0, &size)) {
    return ScopedHandle(nullptr);
  }
  STARTUPINFOEXW startup = {};
  startup.StartupInfo.cb = sizeof(startup);
  startup.StartupInfo.dwFlags = STARTF_FORCEOFFFEEDBACK;  // no busy cursor for it
  startup.lpAttributeList = attributes;
  PROCESS_INFORMATION started = {};
  const bool ok = UpdateProcThreadAttribute(attributes, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, &pipe,
                                            sizeof(pipe), nullptr, nullptr) &&
                  CreateProcessW(path.c_str(), &commandLine[0], nullptr, nullptr, TRUE,
                                 CREATE_SUSPENDED | EXTENDED_STARTUPINFO_PRESENT, nullptr,
                                 SystemFolder().c_str(), &startup.StartupInfo, &started);
  DeleteProcThreadAttributeList(attributes);
  if (!ok) return ScopedHandle(nullptr);
  ScopedHandle process(started.hProcess);
  const ScopedHandle thread(started.hThread);
  job = JobEndingWithTool(process.get());
  ResumeThread(thread.get());
  return process;
}

}  // namespace

std::string EncodeProbeAnswer(const ProbeAnswer& answer) {
  std::string fields;
  Put(fields, answer.created ? 1 : 0);
  Put(fields, answer.shaderVersion);
  Put(fields, static_cast<uint32_t>(answer.description.size()));
  fields.append(reinterpret_cast<const char*>(answer.description.data()),
                answer.description.size() * sizeof(wchar_t));
  return Record(kAnswerRecord, fields);
}

bool DecodeProbeAnswer(const std::string& bytes, ProbeAnswer& answer) {
  std::size_t at = 0;
  uint32_t created = 0, shaderVersion = 0, length = 0;
  if (!FieldsOf(bytes, kAnswerRecord, at) || !Take(bytes, at, created) || created > 1 ||
      !Take(bytes, at, shaderVersion) || !Take(bytes, at, length) ||
      length * sizeof(wchar_t) != bytes.size() - at) {
    return false;
  }
  answer.created = created == 1;
  answer.shaderVersion = shaderVersion;
  answer.description.assign(length, L'\0');
  std::memcpy(&answer.description[0], bytes.data() + at, length * sizeof(wchar_t));
  return true;
}

std::string EncodeVideoMemory(uint64_t bytes) {
  std::string fields;
  Put(fields, static_cast<uint32_t>(bytes));
  Put(fields, static_cast<uint32_t>(bytes >> 32));
  return Record(kMemoryRecord, fields);
}

bool DecodeVideoMemory(const std::string& bytes, uint64_t& videoMemory) {
  std::size_t at = 0;
  uint32_t low = 0, high = 0;
  if (!FieldsOf(bytes, kMemoryRecord, at) || !Take(bytes, at, low) || !Take(bytes, at, high) ||
      at != bytes.size()) {
    return false;
  }
  videoMemory = uint64_t{high} << 32 | low;
  return true;
}

bool IsProbeCommand(const wchar_t* arguments) {
  const std::size_t length = wcslen(kProbeSwitch);
  return arguments &&
         CompareStringOrdinal(arguments, static_cast<int>(length), kProbeSwitch,
                              static_cast<int>(length), TRUE) == CSTR_EQUAL &&
         (arguments[length] == L' ' || arguments[length] == L'\0');
}

HANDLE ProbePipeOf(const wchar_t* arguments) {
  if (!IsProbeCommand(arguments)) return nullptr;
  const wchar_t* number = arguments + wcslen(kProbeSwitch);
  while (*number == L' ') ++number;
  ULONG_PTR value = 0;
  int digits = 0;
  for (; *number >= L'0' && *number <= L'9' && digits < 10; ++number, ++digits) {
    value = value * 10 + static_cast<ULONG_PTR>(*number - L'0');
  }
  if (digits == 0 || *number != L'\0') return nullptr;
  const auto pipe = reinterpret_cast<HANDLE>(value);
  return GetFileType(pipe) == FILE_TYPE_PIPE ? pipe : nullptr;
}

bool ServeProbe(HANDLE pipe) {
  D3D9Probe probe;
  ProbeAnswer answer;
  answer.created = probe.CreateDirect3D();
  if (answer.created) {
    answer.description = probe.AdapterDescription();
    answer.shaderVersion = probe.PixelShaderVersion();
  }
  if (!Write(pipe, EncodeProbeAnswer(answer))) return false;
  return !answer.created || Write(pipe, EncodeVideoMemory(probe.DedicatedVideoMemory()));
}

void RunProbeProcess(const wchar_t* arguments, bool searchLimited) {
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
  SetUnhandledExceptionFilter(&EndOnCrash);
  const HANDLE pipe = ProbePipeOf(arguments);
  // The same start as the tool's: nothing is looked for by a bare name
  // outside the system folder before Direct3D loads its driver.
  if (pipe && searchLimited) {
    LoadLibrariesAskedForByName();
    ServeProbe(pipe);
  }
  TerminateProcess(GetCurrentProcess(), 0);
  for (;;) Sleep(INFINITE);  // TerminateProcess of this process does not return
}

// ---- The tool's side --------------------------------------------------------

struct BackgroundProbe::Channel {
  Channel() { InitializeCriticalSection(&lock); }
  ~Channel() { DeleteCriticalSection(&lock); }

  ScopedHandle pipe{nullptr};
  // Set once Direct3D 9's record is read, or the pipe ended before it.
  ScopedHandle answered{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
  // Written by the reader before it sets `answered`; read by the tool after.
  ProbeAnswer answer;
  bool whole = false;
  // Written by the reader before it ends; read by the tool only after.
  uint64_t videoMemory = 0;
  // Who is told when Direct3D 9's record is read, or will not come.
  CRITICAL_SECTION lock;
  bool done = false;
  HWND window = nullptr;
  UINT message = 0;
};

BackgroundProbe::BackgroundProbe(const std::wstring& program, DWORD dialogWaitMs, DWORD patienceMs)
    : channel_(std::make_shared<Channel>()), dialogWaitMs_(dialogWaitMs), patienceMs_(patienceMs) {
  Start(program);
}

BackgroundProbe::~BackgroundProbe() { End(); }

void BackgroundProbe::Start(const std::wstring& program) {
  HANDLE read = nullptr, write = nullptr;
  if (!CreatePipe(&read, &write, nullptr, kPipeBytes)) return;
  channel_->pipe.reset(read);
  const ScopedHandle writeEnd(write);
  process_ = StartChild(program, writeEnd.get(), job_);
  if (!process_) return;
  // The child holds its own copy now: the pipe ends when the child does.
  auto* shared = new std::shared_ptr<Channel>(channel_);
  reader_.reset(CreateThread(nullptr, 0, &ReadAnswer, shared, 0, nullptr));
  if (reader_) return;
  delete shared;  // no thread to read: the child is of no use
  End();
}

DWORD WINAPI BackgroundProbe::ReadAnswer(void* parameter) {
  const std::unique_ptr<std::shared_ptr<Channel>> shared(
      static_cast<std::shared_ptr<Channel>*>(parameter));
  Channel& channel = **shared;
  std::string bytes;
  channel.whole = ReadRecord(channel.pipe.get(), bytes) && DecodeProbeAnswer(bytes, channel.answer);
  SetEvent(channel.answered.get());
  EnterCriticalSection(&channel.lock);
  channel.done = true;
  const HWND window = channel.window;
  const UINT message = channel.message;
  LeaveCriticalSection(&channel.lock);
  if (window) PostMessageW(window, message, 0, 0);
  if (channel.whole && ReadRecord(channel.pipe.get(), bytes)) {
    DecodeVideoMemory(bytes, channel.videoMemory);
  }
  return 0;
}

void BackgroundProbe::End() {
  if (process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) {
    TerminateProcess(process_.get(), ERROR_TIMEOUT);
  }
  // The pipe ends with the child, and the reader with the pipe.
  if (reader_) WaitForSingleObject(reader_.get(), kEndingMs);
}

void BackgroundProbe::WaitFor(HANDLE handle, DWORD milliseconds) {
  const DWORD started = GetTickCount();
  for (;;) {
    const DWORD waited = GetTickCount() - started;
    const DWORD woken = MsgWaitForMultipleObjects(
        1, &handle, FALSE, waited < milliseconds ? milliseconds - waited : 0, QS_SENDMESSAGE);
    if (woken != WAIT_OBJECT_0 + 1) return;
    MSG message;  // a look at the queue answers what others sent
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
}

bool BackgroundProbe::CreateDirect3D() {
  modes_ = ListDisplayModes();
  waitStarted_ = GetTickCount();
  if (reader_) WaitFor(channel_->answered.get(), dialogWaitMs_);
  const ProbeAnswer* answer = Answer();
  return answer && answer->created;
}

std::wstring BackgroundProbe::AdapterDescription() {
  const ProbeAnswer* answer = Answer();
  return answer ? answer->description : std::wstring();
}

uint32_t BackgroundProbe::PixelShaderVersion() {
  const ProbeAnswer* answer = Answer();
  return answer ? answer->shaderVersion : 0;
}

uint64_t BackgroundProbe::DedicatedVideoMemory() {
  if (!Answer()) return 0;
  WaitFor(reader_.get(), PatienceLeft());
  return WaitForSingleObject(reader_.get(), 0) == WAIT_OBJECT_0 ? channel_->videoMemory : 0;
}

BackgroundProbe::Outcome BackgroundProbe::Result() const {
  if (reader_ && WaitForSingleObject(channel_->answered.get(), 0) == WAIT_TIMEOUT) {
    return givenUp_ ? Outcome::kHung : Outcome::kWaiting;
  }
  if (channel_->whole) return Outcome::kAnswered;
  return givenUp_ ? Outcome::kHung : Outcome::kNoAnswer;
}

const ProbeAnswer* BackgroundProbe::Answer() const {
  return Result() == Outcome::kAnswered ? &channel_->answer : nullptr;
}

void BackgroundProbe::NotifyWhenDone(HWND window, UINT message) {
  EnterCriticalSection(&channel_->lock);
  channel_->window = window;
  channel_->message = message;
  const bool done = channel_->done || !reader_;
  LeaveCriticalSection(&channel_->lock);
  if (done && window) PostMessageW(window, message, 0, 0);
}

DWORD BackgroundProbe::PatienceLeft() const {
  const DWORD waited = GetTickCount() - waitStarted_;
  return waited < patienceMs_ ? patienceMs_ - waited : 0;
}

void BackgroundProbe::GiveUp() {
  if (Result() != Outcome::kWaiting) return;
  givenUp_ = true;
  End();
}

}  // namespace vorn
