#pragma once
// What a waiting device command needs of the event loop: let pending events
// run, sleep a little, and read a millisecond tick counter.

#include <cstdint>

class TEventPump {
 public:
  virtual ~TEventPump() = default;
  virtual void ProcessEvents() = 0;
  virtual void Sleep(unsigned milliseconds) = 0;
  // Wraps around; compare ticks by unsigned difference.
  virtual std::uint32_t Ticks() = 0;
};

// The application's own event loop.
class TQtEventPump : public TEventPump {
 public:
  void ProcessEvents() override;
  void Sleep(unsigned milliseconds) override;
  std::uint32_t Ticks() override;
};
