#pragma once
// Puts a simulated device on a pseudo-terminal and a symlink to its slave
// side, so any serial client opens that path as its port. POSIX only.

#include <atomic>
#include <chrono>
#include <deque>
#include <functional>
#include <string>

#include "sim/SimDevice.h"

struct TPtyHostOptions {
  std::string LinkPath;
  unsigned DelayMs = 0;  // before each answer
  bool Pace = false;     // the line's own time at 9600 baud, both ways
};

class TPtyHost {
 public:
  using TTrace = std::function<void(const std::string& line)>;

  TPtyHost(TSimDevice& device, TPtyHostOptions options);
  ~TPtyHost();
  TPtyHost(const TPtyHost&) = delete;
  TPtyHost& operator=(const TPtyHost&) = delete;

  // Creates the pseudo-terminal and the symlink; false with Error().
  bool Start();
  // Serves until stop is set, then removes the symlink.
  void Run(const std::atomic<bool>& stop);
  const std::string& Error() const { return FError; }
  const std::string& SlaveName() const { return FSlaveName; }
  // Bytes of answers waiting to be written (any thread may ask).
  std::size_t QueuedBytes() const { return FQueuedBytes; }
  // Bytes that crossed the line so far, each way (any thread may ask).
  std::size_t BytesIn() const { return FBytesIn; }
  std::size_t BytesOut() const { return FBytesOut; }

  TTrace OnTrace;
  std::function<void()> OnChanged;  // the device's settings or version changed

  // Wire time of n bytes at 9600 baud, 10 bits a byte.
  static std::chrono::microseconds LineTime(std::size_t bytes);

 private:
  using TClock = std::chrono::steady_clock;
  struct TPendingWrite {
    TClock::time_point Due;
    TByteArray Bytes;
    std::size_t Written = 0;
  };

  bool OpenPty();
  void ClosePty();
  void Serve(const TSimAnswer& answer, TClock::time_point now);
  void WriteDue(TClock::time_point now);
  void DropQueue(const std::string& why);
  void Trace(const std::string& direction, const TByteArray& bytes, const std::string& text);

  TSimDevice& FDevice;
  TPtyHostOptions FOptions;
  int FMaster = -1;
  int FSlave = -1;
  std::string FSlaveName;
  std::string FError;
  std::deque<TPendingWrite> FQueue;
  std::atomic<std::size_t> FQueuedBytes{0};
  std::atomic<std::size_t> FBytesIn{0};
  std::atomic<std::size_t> FBytesOut{0};
  bool FLineFull = false;
  TClock::time_point FLineFreeAt;
  TClock::time_point FLastInput;
  TClock::time_point FBackAt;  // after a vanish: when the port returns
  bool FGone = false;
};
