// Speed of the disk list fill and the disk report against Wine's (or Windows') devices,
// each beside a baseline that makes exactly the same platform calls in the same order with
// the same arguments, and does nothing else: no decoding, no formatting, no list work.
//
// The call sequence of each routine is taken by running the routine once over a recording
// decorator of the real platform; the baseline then replays that sequence straight to the
// Windows calls. Routine and baseline run in alternating batches; each batch's time per
// operation is kept and the medians are compared.
//
//   bench_win32 [batches] [milliseconds per batch] [disk of the report]
//
// The report is of disk 0 unless another is named: with the test disk driver running
// (tools/testdisk), disks 1 to 15 answer as their description says.
#include "platform/win32/win32_api.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "timing.h"

#include "disk/report.h"
#include "noop_view.h"
#include "platform/forwarding_platform.h"
#include "platform/win32/win32_platform.h"
#include "ui/disk_list.h"

namespace sb::bench {
namespace {

// One platform call as the recorder saw it.
struct Op {
  enum class Kind { kOpen, kRequest, kClose, kGetLastError, kSetLastError, kFormatMessage };
  Kind kind;
  Text path{};               // open
  std::uint32_t access = 0;  // open
  std::uint32_t share = 0;   // open
  std::uint32_t disposition = 0;
  std::uint32_t flags = 0;   // open
  std::uint32_t code = 0;    // request: control code; set/format: the error code
  std::size_t in_size = 0;   // request
  std::size_t out_size = 0;  // request
  int handle = -1;           // request, close: index of the open that gave the handle
  bool ok = false;           // what the call returned when recorded
};

const char* KindName(Op::Kind kind) {
  switch (kind) {
    case Op::Kind::kOpen:
      return "CreateFile";
    case Op::Kind::kRequest:
      return "DeviceIoControl";
    case Op::Kind::kClose:
      return "CloseHandle";
    case Op::Kind::kGetLastError:
      return "GetLastError";
    case Op::Kind::kSetLastError:
      return "SetLastError";
    case Op::Kind::kFormatMessage:
      return "FormatMessage";
  }
  return "?";
}

// Forwards every call to the real platform and records the disk calls the routines make.
// Calls the routines never make are forwarded but not recorded.
class RecordingPlatform final : public ForwardingPlatform {
 public:
  explicit RecordingPlatform(Platform& real) : ForwardingPlatform(real) {}
  std::vector<Op> ops;

  Handle CreateFile(const Text& path, std::uint32_t access, std::uint32_t share,
                    std::uint32_t disposition, std::uint32_t flags) override {
    const Handle handle = next().CreateFile(path, access, share, disposition, flags);
    Op op{Op::Kind::kOpen};
    op.path = path;
    op.access = access;
    op.share = share;
    op.disposition = disposition;
    op.flags = flags;
    op.ok = handle != kInvalidHandle;
    if (op.ok) handles_[handle] = static_cast<int>(ops.size());
    op.handle = static_cast<int>(ops.size());
    ops.push_back(op);
    return handle;
  }
  bool DeviceIoControl(Handle device, std::uint32_t code, ConstBytes input,
                       MutableBytes output) override {
    const bool ok = next().DeviceIoControl(device, code, input, output);
    Op op{Op::Kind::kRequest};
    op.code = code;
    op.in_size = input.size();
    op.out_size = output.size();
    op.handle = HandleIndex(device);
    op.ok = ok;
    ops.push_back(op);
    return ok;
  }
  bool CloseHandle(Handle handle) override {
    const bool ok = next().CloseHandle(handle);
    Op op{Op::Kind::kClose};
    op.handle = HandleIndex(handle);
    op.ok = ok;
    ops.push_back(op);
    handles_.erase(handle);
    return ok;
  }
  std::uint32_t GetLastError() override {
    ops.push_back({Op::Kind::kGetLastError});
    ops.back().ok = true;
    return next().GetLastError();
  }
  void SetLastError(std::uint32_t code) override {
    ops.push_back({Op::Kind::kSetLastError});
    ops.back().code = code;
    ops.back().ok = true;
    next().SetLastError(code);
  }
  Text FormatMessage(std::uint32_t code) override {
    Text text = next().FormatMessage(code);
    ops.push_back({Op::Kind::kFormatMessage});
    ops.back().code = code;
    ops.back().ok = !text.empty();
    return text;
  }

 private:
  int HandleIndex(Handle handle) const {
    const auto it = handles_.find(handle);
    return it == handles_.end() ? -1 : it->second;
  }

  std::map<Handle, int> handles_;
};

// The baseline: the recorded calls, straight to Windows, with buffers of the recorded
// sizes that are set up once. It returns how many calls gave another outcome than when
// recorded.
class Replay {
 public:
  explicit Replay(std::vector<Op> ops) : ops_(std::move(ops)), handles_(ops_.size()) {
    std::size_t largest = 0;
    for (const auto& op : ops_) largest = std::max({largest, op.in_size, op.out_size});
    input_.assign(largest + 1, 0);
    output_.assign(largest + 1, 0);
  }

  int Run() {
    int mismatches = 0;
    for (std::size_t i = 0; i < ops_.size(); ++i) {
      const Op& op = ops_[i];
      bool ok = true;
      switch (op.kind) {
        case Op::Kind::kOpen:
          handles_[i] = OpenAsTheProgramDoes(op);
          ok = handles_[i] != INVALID_HANDLE_VALUE;
          break;
        case Op::Kind::kRequest: {
          DWORD returned = 0;
          ok = ::DeviceIoControl(Of(op), op.code, op.in_size == 0 ? nullptr : input_.data(),
                                 static_cast<DWORD>(op.in_size),
                                 op.out_size == 0 ? nullptr : output_.data(),
                                 static_cast<DWORD>(op.out_size), &returned, nullptr) != FALSE;
          break;
        }
        case Op::Kind::kClose:
          ok = ::CloseHandle(Of(op)) != FALSE;
          break;
        case Op::Kind::kGetLastError:
          last_error_ = ::GetLastError();
          break;
        case Op::Kind::kSetLastError:
          ::SetLastError(op.code);
          break;
        case Op::Kind::kFormatMessage: {
          ok = MessageTextAsTheProgramAsks(op.code);
          break;
        }
      }
      if (ok != op.ok) ++mismatches;
    }
    return mismatches;
  }

 private:
  // The calls in the program's character form: W in the 64-bit program, A in the 32-bit one.
  static HANDLE OpenAsTheProgramDoes(const Op& op) {
    return CreateFileT(op.path.c_str(), op.access, op.share, op.disposition, op.flags);
  }
  static bool MessageTextAsTheProgramAsks(std::uint32_t code) {
    Char text[1024];
    constexpr DWORD kFlags = FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;
#ifdef SPINDLEBAY_NARROW
    return ::FormatMessageA(kFlags, nullptr, code, 0, text, 1024, nullptr) != 0;
#else
    return ::FormatMessageW(kFlags, nullptr, code, 0, text, 1024, nullptr) != 0;
#endif
  }

  HANDLE Of(const Op& op) const {
    return op.handle < 0 ? INVALID_HANDLE_VALUE : handles_[static_cast<std::size_t>(op.handle)];
  }

  std::vector<Op> ops_;
  std::vector<HANDLE> handles_;
  std::vector<std::uint8_t> input_;
  std::vector<std::uint8_t> output_;
  DWORD last_error_ = 0;
};

std::string Describe(const Op& op) {
  char line[256];
  switch (op.kind) {
    case Op::Kind::kOpen: {
      const std::string path = TextToAscii(op.path);
      std::snprintf(line, sizeof line, "CreateFile(%s, access 0x%08X, share %u, flags 0x%X)%s",
                    path.c_str(), op.access, op.share, op.flags, op.ok ? "" : " fails");
      break;
    }
    case Op::Kind::kRequest:
      std::snprintf(line, sizeof line, "DeviceIoControl(#%d, 0x%08X, in %zu, out %zu)%s", op.handle,
                    op.code, op.in_size, op.out_size, op.ok ? "" : " fails");
      break;
    case Op::Kind::kClose:
      std::snprintf(line, sizeof line, "CloseHandle(#%d)", op.handle);
      break;
    case Op::Kind::kSetLastError:
    case Op::Kind::kFormatMessage:
      std::snprintf(line, sizeof line, "%s(%u)", KindName(op.kind), op.code);
      break;
    default:
      std::snprintf(line, sizeof line, "%s()", KindName(op.kind));
  }
  return line;
}

struct Result {
  double routine_us;
  double baseline_us;
  double routine_low_us;  // the lowest and highest batch medians
  double baseline_low_us;
  double routine_high_us;
  double baseline_high_us;
  std::size_t runs;
  std::size_t calls;
  int mismatches;
};

// Times routine and baseline run by run, alternating, each run timed on its own, so
// that both see the same load of the machine; the medians of the runs are compared. The
// runs are grouped into batches whose medians are kept as well, for the spread.
Result Compare(const std::function<void()>& routine, Replay& baseline, std::size_t calls,
               int batches, double batch_seconds) {
  // Warm-up, and the number of runs of both that fills a batch.
  routine();
  baseline.Run();
  const double start = Now();
  int warm = 0;
  while (Now() - start < batch_seconds / 4 || warm < 2) {
    routine();
    baseline.Run();
    ++warm;
  }
  const int runs = std::max(5, static_cast<int>(warm * 4));
  std::vector<double> routine_times;
  std::vector<double> baseline_times;
  std::vector<double> routine_batch;
  std::vector<double> baseline_batch;
  int mismatches = 0;
  for (int b = 0; b < batches; ++b) {
    std::vector<double> r_batch;
    std::vector<double> s_batch;
    for (int i = 0; i < runs; ++i) {
      // Alternate which one goes first, so that neither always follows the other.
      for (int turn = 0; turn < 2; ++turn) {
        const bool routine_turn = (turn == 0) == (i % 2 == 0);
        const double t0 = Now();
        if (routine_turn) {
          routine();
        } else {
          mismatches += baseline.Run();
        }
        const double us = (Now() - t0) * 1e6;
        (routine_turn ? r_batch : s_batch).push_back(us);
      }
    }
    routine_batch.push_back(Median(r_batch));
    baseline_batch.push_back(Median(s_batch));
    routine_times.insert(routine_times.end(), r_batch.begin(), r_batch.end());
    baseline_times.insert(baseline_times.end(), s_batch.begin(), s_batch.end());
  }
  return {Median(routine_times),
          Median(baseline_times),
          *std::min_element(routine_batch.begin(), routine_batch.end()),
          *std::min_element(baseline_batch.begin(), baseline_batch.end()),
          *std::max_element(routine_batch.begin(), routine_batch.end()),
          *std::max_element(baseline_batch.begin(), baseline_batch.end()),
          routine_times.size(),
          calls,
          mismatches};
}

void Print(const char* name, const Result& r) {
  std::printf(
      "%-10s routine %9.1f us  baseline %9.1f us  ratio %.3f  (batch medians: routine %.1f..%.1f, "
      "baseline %.1f..%.1f; %zu runs each, %zu calls a run)%s\n",
      name, r.routine_us, r.baseline_us, r.routine_us / r.baseline_us, r.routine_low_us,
      r.routine_high_us, r.baseline_low_us, r.baseline_high_us, r.runs, r.calls,
      r.mismatches == 0 ? "" : "  BASELINE OUTCOMES DIFFER");
  std::printf("RESULT %s %.3f %.3f %.4f %zu %d\n", name, r.routine_us, r.baseline_us,
              r.routine_us / r.baseline_us, r.calls, r.mismatches);
}

int Main(int argc, char** argv) {
  const int batches = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
  const double batch_seconds = (argc > 2 ? std::max(1, std::atoi(argv[2])) : 200) / 1000.0;
  const int report_disk = argc > 3 ? std::clamp(std::atoi(argv[3]), 0, 15) : 0;

  Win32Platform platform;
  NoopListView list;
  NoopLines lines;
  const Text path = SB_T("\\\\.\\PhysicalDrive") + Dec(report_disk);

  RecordingPlatform list_recorder(platform);
  _Enum_Drives_lv(list_recorder, list);
  const std::size_t rows = list.RowCount();
  RecordingPlatform report_recorder(platform);
  DiskInfoReport(report_recorder, path, lines);
  const std::size_t report_lines = lines.count();

  std::printf("List fill: %zu rows, %zu platform calls\n", rows, list_recorder.ops.size());
  // The calls for the first two disks show the pattern of them all.
  std::size_t shown = 0;
  for (const auto& op : list_recorder.ops) {
    if (op.kind == Op::Kind::kOpen && op.ok && op.access == GENERIC_READ &&
        op.flags == FILE_ATTRIBUTE_NORMAL && ++shown > 2) {
      break;
    }
    if (op.kind != Op::Kind::kOpen || op.ok) std::printf("  %s\n", Describe(op).c_str());
  }
  std::printf("  (and the same for the other disks, and the failing probes of absent ones)\n");
  std::printf("Report of disk %d: %zu lines, %zu platform calls\n", report_disk, report_lines,
              report_recorder.ops.size());
  for (const auto& op : report_recorder.ops) std::printf("  %s\n", Describe(op).c_str());
  std::printf("\n%d batches of about %.0f ms each; time of one run, median of all runs\n", batches,
              batch_seconds * 1000);

  Replay list_baseline(list_recorder.ops);
  const Result list_result = Compare([&] { _Enum_Drives_lv(platform, list); }, list_baseline,
                                     list_recorder.ops.size(), batches, batch_seconds);
  Print("list_fill", list_result);

  Replay report_baseline(report_recorder.ops);
  const Result report_result =
      Compare([&] { DiskInfoReport(platform, path, lines); }, report_baseline,
              report_recorder.ops.size(), batches, batch_seconds);
  Print("report", report_result);
  return list_result.mismatches == 0 && report_result.mismatches == 0 ? 0 : 1;
}

}  // namespace
}  // namespace sb::bench

int main(int argc, char** argv) {
  try {
    return sb::bench::Main(argc, argv);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "bench_win32: %s\n", error.what());
  } catch (...) {
    std::fprintf(stderr, "bench_win32: the routine raised an error\n");
  }
  return 2;
}
