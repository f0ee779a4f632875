// Another process that sends and posts messages to a window, as any program on the desktop
// can: the hostile-message tests and the monkey use it to reach the program's windows
// from outside.
//
//   message_poster HWND COMMAND...
//     post MSG WPARAM LPARAM           PostMessage
//     send MSG WPARAM LPARAM           SendMessageTimeout
//     send-record WPARAM SIZE TYPE MASK  WM_DEVICECHANGE with a broadcast record in this
//                                      process: dbch_size SIZE (up to 64), dbch_devicetype
//                                      TYPE, dbcv_unitmask MASK
//     send-create MSG PARAM            WM_NCCREATE or WM_CREATE with a CREATESTRUCT whose
//                                      lpCreateParams is PARAM
//     random SEED COUNT                COUNT WM_DEVICECHANGE messages, sent or posted, with
//                                      random events, parameters and records
//
// Numbers are decimal or 0x hex. Exit status: 0 when the window answered every sent
// message, 3 when it stopped answering, 4 when it is gone, 2 for a malformed command.
#include <windows.h>
#include <dbt.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

namespace {

constexpr UINT kAnswerTimeoutMs = 10000;

std::uint64_t Number(const char* text) {
  return std::strtoull(text, nullptr, 0);
}

// A broadcast record in this process's memory; Windows copies dbch_size bytes of it.
struct RecordBuffer {
  std::array<std::uint8_t, 64> bytes{};
  RecordBuffer(std::uint32_t size, std::uint32_t type, std::uint32_t mask) {
    std::memcpy(bytes.data(), &size, 4);
    std::memcpy(bytes.data() + 4, &type, 4);
    std::memcpy(bytes.data() + 12, &mask, 4);
  }
  LPARAM lparam() { return reinterpret_cast<LPARAM>(bytes.data()); }
};

class Poster {
 public:
  explicit Poster(HWND window) : window_(window) {}
  int status() const { return status_; }

  void Post(UINT message, WPARAM wparam, LPARAM lparam) {
    if (!::IsWindow(window_)) status_ = 4;
    // Windows refuses some posts (those it knows carry a pointer): that is an answer.
    ::PostMessage(window_, message, wparam, lparam);
  }

  void Send(UINT message, WPARAM wparam, LPARAM lparam) {
    DWORD_PTR result = 0;
    if (::SendMessageTimeout(window_, message, wparam, lparam, SMTO_NORMAL, kAnswerTimeoutMs,
                             &result) == 0) {
      const DWORD error = ::GetLastError();
      if (!::IsWindow(window_)) {
        status_ = 4;
      } else if (error == ERROR_TIMEOUT) {
        status_ = 3;
      }
    }
  }

  void SendRecord(WPARAM event, std::uint32_t size, std::uint32_t type, std::uint32_t mask) {
    RecordBuffer record(size > 64 ? 64 : size, type, mask);
    Send(WM_DEVICECHANGE, event, record.lparam());
  }

  void SendCreate(UINT message, std::uint64_t param) {
    CREATESTRUCT create = {};
    create.lpCreateParams = reinterpret_cast<void*>(static_cast<std::uintptr_t>(param));
    create.lpszName = TEXT("forged");
    create.lpszClass = TEXT("forged");
    Send(message, 0, reinterpret_cast<LPARAM>(&create));
  }

  // Device-change events as they come, and numbers that are not events at all; lParam
  // values that point nowhere, or into this process only.
  void Random(std::uint32_t seed, std::uint32_t count) {
    std::mt19937_64 random(seed);
    // Written at 64 bits; a 32-bit poster sends what is left of them in its WPARAM and LPARAM.
    constexpr std::uint64_t kEvents[] = {0x0007, 0x0017, 0x0018,        0x0019, 0x8000,
                                         0x8001, 0x8002, 0x8003,        0x8004, 0x8005,
                                         0x8006, 0xFFFF, 0x100008000ull};
    constexpr std::int64_t kParams[] = {0, 1, 0x10, 0xDEADBEEF, -1, 0x7FFF0000, 0x1000};
    for (std::uint32_t i = 0; i < count && status_ == 0; ++i) {
      const WPARAM event = random() % 4 == 0
                               ? static_cast<WPARAM>(random())
                               : static_cast<WPARAM>(kEvents[random() % std::size(kEvents)]);
      const LPARAM param = random() % 2 == 0
                               ? static_cast<LPARAM>(random())
                               : static_cast<LPARAM>(kParams[random() % std::size(kParams)]);
      switch (random() % 3) {
        case 0:
          Post(WM_DEVICECHANGE, event, param);
          break;
        case 1:
          // Events with bit 15 set are marshalled as records from the sender's memory: a
          // bad pointer there would crash this process, not the window's.
          if (event & 0x8000) {
            SendRecord(event, static_cast<std::uint32_t>(random() % 24), 2,
                       static_cast<std::uint32_t>(random()));
          } else {
            Send(WM_DEVICECHANGE, event, param);
          }
          break;
        default:
          SendRecord(random() % 2 ? DBT_DEVICEARRIVAL : DBT_DEVICEREMOVECOMPLETE,
                     static_cast<std::uint32_t>(random() % 64),
                     static_cast<std::uint32_t>(random() % 8),
                     static_cast<std::uint32_t>(random()));
          break;
      }
    }
  }

 private:
  HWND window_;
  int status_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  Poster poster(reinterpret_cast<HWND>(static_cast<std::uintptr_t>(Number(argv[1]))));
  for (int i = 2; i < argc && poster.status() == 0;) {
    const std::string command = argv[i];
    const auto has = [&](int count) { return i + count < argc; };
    if (command == "post" && has(3)) {
      poster.Post(static_cast<UINT>(Number(argv[i + 1])), Number(argv[i + 2]),
                  static_cast<LPARAM>(Number(argv[i + 3])));
      i += 4;
    } else if (command == "send" && has(3)) {
      poster.Send(static_cast<UINT>(Number(argv[i + 1])), Number(argv[i + 2]),
                  static_cast<LPARAM>(Number(argv[i + 3])));
      i += 4;
    } else if (command == "send-record" && has(4)) {
      poster.SendRecord(Number(argv[i + 1]), static_cast<std::uint32_t>(Number(argv[i + 2])),
                        static_cast<std::uint32_t>(Number(argv[i + 3])),
                        static_cast<std::uint32_t>(Number(argv[i + 4])));
      i += 5;
    } else if (command == "send-create" && has(2)) {
      poster.SendCreate(static_cast<UINT>(Number(argv[i + 1])), Number(argv[i + 2]));
      i += 3;
    } else if (command == "random" && has(2)) {
      poster.Random(static_cast<std::uint32_t>(Number(argv[i + 1])),
                    static_cast<std::uint32_t>(Number(argv[i + 2])));
      i += 3;
    } else {
      std::fprintf(stderr, "message_poster: cannot read '%s'\n", command.c_str());
      return 2;
    }
  }
  return poster.status();
}
