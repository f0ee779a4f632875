// The real platform for the window runner: every call goes to the platform it wraps, except
// that the commands' one-second pause is reported instead of waited for (unless asked to
// wait), as the simulated machine's virtual clock lets it pass at once.
#pragma once

#include <functional>
#include <utility>

#include "platform/forwarding_platform.h"

namespace sb::window_runner {

class MarkedPausePlatform final : public ForwardingPlatform {
 public:
  MarkedPausePlatform(Platform& real, std::function<void()> on_pause, bool wait)
      : ForwardingPlatform(real), on_pause_(std::move(on_pause)), wait_(wait) {}

  void Sleep(std::uint32_t milliseconds) override {
    on_pause_();
    if (wait_) next().Sleep(milliseconds);
  }

 private:
  std::function<void()> on_pause_;
  bool wait_;
};

}  // namespace sb::window_runner
