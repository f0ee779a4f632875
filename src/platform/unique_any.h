// One owner for every kind of handle the program opens, in the manner of unique_any.
//
// A handle kind is described by a close policy:
//
//   struct Policy {
//     using Value = ...;                        // the handle's type
//     static constexpr Value kInvalid = ...;    // the value that owns nothing
//     void Close(Value value) const;            // closes a valid handle
//     std::uint32_t GetLastError() const;       // the thread's last error where the
//     void SetLastError(std::uint32_t) const;   // handle is closed
//   };
//
// A policy may carry what closing needs (the platform of a platform handle); a policy
// without state costs nothing. Aliases name the owners: UniqueHandle and UniqueFindVolume
// in platform/handle.h, the windows' font, menu and hooks in ui/win32/ui_handles.h.
#pragma once

#include <cstdint>
#include <type_traits>
#include <utility>

namespace sb {

template <typename Policy>
class UniqueAny {
 public:
  using Value = typename Policy::Value;

  UniqueAny() = default;
  UniqueAny(Policy policy, Value value) noexcept(std::is_nothrow_move_constructible_v<Policy>)
      : policy_(std::move(policy)), value_(value) {}
  // A policy without state needs nothing but the value.
  explicit UniqueAny(Value value) noexcept requires std::is_empty_v<Policy> : value_(value) {}
  UniqueAny(const UniqueAny&) = delete;
  UniqueAny& operator=(const UniqueAny&) = delete;
  UniqueAny(UniqueAny&& other) noexcept
      : policy_(std::move(other.policy_)), value_(other.release()) {}
  UniqueAny& operator=(UniqueAny&& other) noexcept {
    if (this != &other) {
      reset();
      policy_ = std::move(other.policy_);
      value_ = other.release();
    }
    return *this;
  }
  ~UniqueAny() { reset(); }

  Value get() const noexcept { return value_; }
  bool valid() const noexcept { return value_ != Policy::kInvalid; }
  explicit operator bool() const noexcept { return valid(); }

  // Closes what is owned and takes value instead. Closing keeps the thread's last error:
  // the error of the call that failed before the close is the one its caller reports,
  // whatever the close itself leaves behind. Closing never throws: the destructor closes
  // through here, and a close that fails has nobody to tell.
  void reset(Value value = Policy::kInvalid) noexcept {
    if (value == value_) return;  // what it owns already is not closed under it
    const Value closing = std::exchange(value_, value);
    if (closing == Policy::kInvalid) return;
    const std::uint32_t error = policy_.GetLastError();
    policy_.Close(closing);
    policy_.SetLastError(error);
  }

  // Gives up ownership without closing; the caller closes what is returned.
  [[nodiscard]] Value release() noexcept { return std::exchange(value_, Policy::kInvalid); }

 private:
  [[no_unique_address]] Policy policy_{};
  Value value_ = Policy::kInvalid;
};

}  // namespace sb
