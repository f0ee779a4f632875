// A platform with the time spent in its disk calls added up.
#pragma once

#include "platform/forwarding_platform.h"
#include "timing.h"

namespace sb::bench {

// Forwards to the platform it wraps (the real one) and adds up, per kind, how many calls
// were made and the milliseconds they took, so that a start can tell its disk work from the
// rest.
class TimedPlatform final : public ForwardingPlatform {
 public:
  explicit TimedPlatform(Platform& next) : ForwardingPlatform(next) {}

  struct Tally {
    int calls = 0;
    double ms = 0;
  };
  Tally opens, requests, closes, message_texts;

  Handle CreateFile(const Text& path, std::uint32_t access, std::uint32_t share,
                    std::uint32_t disposition, std::uint32_t flags) override {
    return Timed(opens, [&] { return next().CreateFile(path, access, share, disposition, flags); });
  }
  bool DeviceIoControl(Handle device, std::uint32_t code, ConstBytes input,
                       MutableBytes output) override {
    return Timed(requests, [&] { return next().DeviceIoControl(device, code, input, output); });
  }
  bool CloseHandle(Handle handle) override {
    return Timed(closes, [&] { return next().CloseHandle(handle); });
  }
  Text FormatMessage(std::uint32_t code) override {
    return Timed(message_texts, [&] { return next().FormatMessage(code); });
  }

 private:
  template <typename Call>
  static auto Timed(Tally& tally, Call call) -> decltype(call()) {
    const double start = Now();
    auto result = call();
    tally.ms += (Now() - start) * 1000;
    ++tally.calls;
    return result;
  }
};

}  // namespace sb::bench
