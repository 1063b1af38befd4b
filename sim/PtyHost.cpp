#include "sim/PtyHost.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr auto kIdleDrop = std::chrono::milliseconds(1000);
constexpr auto kVanishTime = std::chrono::milliseconds(500);
// Answers waiting for a client that does not read are dropped beyond this.
constexpr std::size_t kMaxQueuedBytes = 64 * 1024;

std::string Hex(const TByteArray& bytes) {
  static const char digits[] = "0123456789ABCDEF";
  std::string out;
  for (std::uint8_t b : bytes) {
    out += digits[b >> 4];
    out += digits[b & 0xF];
    out += ' ';
  }
  if (!out.empty()) out.pop_back();
  return out;
}

}  // namespace

TPtyHost::TPtyHost(TSimDevice& device, TPtyHostOptions options)
    : FDevice(device), FOptions(std::move(options)) {}

TPtyHost::~TPtyHost() {
  ClosePty();
  if (!FOptions.LinkPath.empty()) ::unlink(FOptions.LinkPath.c_str());
}

std::chrono::microseconds TPtyHost::LineTime(std::size_t bytes) {
  return std::chrono::microseconds(bytes * 10 * 1000000 / 9600);
}

bool TPtyHost::Start() {
  return OpenPty();
}

bool TPtyHost::OpenPty() {
  FMaster = ::posix_openpt(O_RDWR | O_NOCTTY);
  if (FMaster < 0 || ::grantpt(FMaster) != 0 || ::unlockpt(FMaster) != 0) {
    FError = std::string("cannot create a pseudo-terminal: ") + std::strerror(errno);
    ClosePty();
    return false;
  }
  FSlaveName = ::ptsname(FMaster);
  // Holding the slave open keeps the master readable while no client is there.
  FSlave = ::open(FSlaveName.c_str(), O_RDWR | O_NOCTTY);
  if (FSlave >= 0) {
    termios raw{};
    if (::tcgetattr(FSlave, &raw) == 0) {
      ::cfmakeraw(&raw);
      ::tcsetattr(FSlave, TCSANOW, &raw);
    }
  }
  ::fcntl(FMaster, F_SETFL, ::fcntl(FMaster, F_GETFL) | O_NONBLOCK);
  // Packet mode tells the master when a client clears its line (as a serial
  // port does when it is opened), so answers meant for an earlier client go.
  int packetMode = 1;
  ::ioctl(FMaster, TIOCPKT, &packetMode);
  if (!FOptions.LinkPath.empty()) {
    struct stat st {};
    if (::lstat(FOptions.LinkPath.c_str(), &st) == 0) {
      if (!S_ISLNK(st.st_mode)) {
        FError = FOptions.LinkPath + " exists and is not a symlink";
        ClosePty();
        return false;
      }
      ::unlink(FOptions.LinkPath.c_str());
    }
    if (::symlink(FSlaveName.c_str(), FOptions.LinkPath.c_str()) != 0) {
      FError = "cannot create " + FOptions.LinkPath + ": " + std::strerror(errno);
      ClosePty();
      return false;
    }
  }
  return true;
}

void TPtyHost::ClosePty() {
  if (FSlave >= 0) ::close(FSlave);
  if (FMaster >= 0) ::close(FMaster);
  FSlave = FMaster = -1;
}

void TPtyHost::Run(const std::atomic<bool>& stop) {
  FLastInput = FLineFreeAt = TClock::now();
  std::uint8_t buffer[4096];
  while (!stop.load()) {
    auto now = TClock::now();
    if (FGone) {
      if (now >= FBackAt) {
        FGone = false;
        if (!OpenPty()) {
          Trace("!!", {}, FError);
          return;
        }
        Trace("..", {}, "the port is back at " + FSlaveName);
      } else {
        ::usleep(10000);
        continue;
      }
    }
    int timeout = 20;
    short events = POLLIN | POLLPRI;
    if (FLineFull) {
      events |= POLLOUT;  // wait for the client to read
    } else if (!FQueue.empty()) {
      timeout = FOptions.Pace ? 1 : 0;
      if (!FOptions.Pace && FQueue.front().Due > now)
        timeout = static_cast<int>(
            std::chrono::duration_cast<std::chrono::milliseconds>(FQueue.front().Due - now)
                .count() +
            1);
    }
    pollfd pfd{FMaster, events, 0};
    if (::poll(&pfd, 1, timeout) > 0 && (pfd.revents & (POLLIN | POLLPRI))) {
      const ssize_t n = ::read(FMaster, buffer, sizeof buffer);
      if (n > 0 && buffer[0] != TIOCPKT_DATA) {
        if (buffer[0] & TIOCPKT_FLUSHREAD) DropQueue("the client cleared its line");
      } else if (n > 1) {
        now = TClock::now();
        FLastInput = now;
        FBytesIn += static_cast<std::size_t>(n - 1);
        for (const TSimAnswer& answer : FDevice.Receive(TByteArray(buffer + 1, buffer + n))) {
          Serve(answer, now);
          if (FGone) break;
        }
        if (FDevice.TakeChanged() && OnChanged) OnChanged();
      }
    }
    now = TClock::now();
    if (!FGone) WriteDue(now);
    if (FDevice.HasPartialRequest() && now - FLastInput > kIdleDrop) FDevice.DropPartialRequest();
  }
}

void TPtyHost::Serve(const TSimAnswer& answer, TClock::time_point now) {
  Trace("->", answer.Request, answer.RequestText);
  if (answer.Vanish) {
    Trace("<-", {}, answer.AnswerText);
    ClosePty();
    ::unlink(FOptions.LinkPath.c_str());
    DropQueue({});
    FDevice.DropPartialRequest();
    FGone = true;
    FBackAt = now + kVanishTime;
    return;
  }
  auto due = now + std::chrono::milliseconds(FOptions.DelayMs);
  if (FOptions.Pace) due += LineTime(answer.Request.size() + 1);  // with the link's zero byte
  if (answer.Writes.empty())
    Trace("<-", {}, answer.AnswerText.empty() ? "(no answer)" : answer.AnswerText);
  for (std::size_t i = 0; i < answer.Writes.size(); ++i) {
    if (i > 0) due += std::chrono::milliseconds(answer.GapMs);
    FQueue.push_back({due, answer.Writes[i]});
    FQueuedBytes += answer.Writes[i].size();
    if (FOptions.Pace) due += LineTime(answer.Writes[i].size());
    Trace("<-", answer.Writes[i], i == 0 ? answer.AnswerText : "(rest)");
  }
  // A client that stops reading must not grow the queue without bound: the
  // oldest answers not yet begun go first.
  std::size_t dropped = 0;
  while (FQueuedBytes > kMaxQueuedBytes && FQueue.size() > 1) {
    const std::size_t at = FQueue.front().Written > 0 ? 1 : 0;
    FQueuedBytes -= FQueue[at].Bytes.size() - FQueue[at].Written;
    FQueue.erase(FQueue.begin() + static_cast<long>(at));
    ++dropped;
  }
  if (dropped > 0)
    Trace("..", {}, std::to_string(dropped) + " answers dropped: the client does not read");
}

void TPtyHost::DropQueue(const std::string& why) {
  if (!FQueue.empty() && !why.empty())
    Trace("..", {}, std::to_string(FQueue.size()) + " answers dropped: " + why);
  FQueue.clear();
  FQueuedBytes = 0;
  FLineFull = false;
}

void TPtyHost::WriteDue(TClock::time_point now) {
  while (!FQueue.empty()) {
    TPendingWrite& w = FQueue.front();
    const auto start = std::max(w.Due, FLineFreeAt);
    if (start > now) return;
    std::size_t upTo = w.Bytes.size();
    if (FOptions.Pace) {
      // Bytes leave at the line's pace: as many as their time allows.
      const auto elapsed = std::chrono::duration_cast<std::chrono::microseconds>(now - start);
      upTo = std::min<std::size_t>(
          w.Bytes.size(), static_cast<std::size_t>(elapsed.count() * 9600 / 10 / 1000000) + 1);
    }
    FLineFull = false;
    while (w.Written < upTo) {
      const ssize_t n = ::write(FMaster, w.Bytes.data() + w.Written, upTo - w.Written);
      if (n <= 0) {
        FLineFull = errno == EAGAIN;  // try again once the client has read
        return;
      }
      w.Written += static_cast<std::size_t>(n);
      FBytesOut += static_cast<std::size_t>(n);
      FQueuedBytes -= static_cast<std::size_t>(n);
    }
    if (w.Written < w.Bytes.size()) return;
    FLineFreeAt = FOptions.Pace ? start + LineTime(w.Bytes.size()) : now;
    FQueue.pop_front();
  }
}

void TPtyHost::Trace(const std::string& direction, const TByteArray& bytes,
                     const std::string& text) {
  if (!OnTrace) return;
  std::string line = direction + " " + text;
  if (!bytes.empty()) line += " [" + Hex(bytes) + "]";
  OnTrace(line);
}
