// One host's probe as a poll-driven task: the steps of a step table one after
// the other, each connect and each receive limited by the timeout. The
// module's probe drives one session alone; vantrel drives many on a thread.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "probe/duration.h"
#include "probe/poll_task.h"
#include "probe/probe_report.h"
#include "probe/probe_steps.h"
#include "probe/resolver.h"
#include "probe/ssh_banner.h"
#include "probe/tcp_connect.h"

namespace ov::probe {

// A probe that a poll loop can drive beside others (see poll_task.h); its
// report is taken once next() has nothing more.
class ProbeTask {
 public:
  virtual ~ProbeTask() = default;
  virtual std::optional<Readiness> next(Clock::time_point now) = 0;
  virtual void on_ready(short revents, Clock::time_point now) = 0;
  virtual void on_poll_failure(const NetError& error) = 0;
  virtual ProbeReport take_report() = 0;
};

class ProbeSession final : public ProbeTask {
 public:
  // The clock of the report's elapsed time starts here. `skip`, `steps` and
  // `lookup` must outlive the session.
  ProbeSession(std::string_view host, std::string_view vendor, Duration timeout,
               std::span<const std::string> skip, std::span<const ProbeStep> steps,
               const AddressLookup& lookup);

  std::optional<Readiness> next(Clock::time_point now) override;
  void on_ready(short revents, Clock::time_point now) override;
  void on_poll_failure(const NetError& error) override;
  ProbeReport take_report() override;

 private:
  // Starts the step at `step_`: resolves the host and begins the connect, or
  // records why the step failed at once.
  void begin_step();
  void connected();
  void banner_read();
  void end_step(bool available);
  void fail_step(const NetError& error);

  std::string host_;
  Duration timeout_;
  std::span<const std::string> skip_;
  std::span<const ProbeStep> steps_;
  const AddressLookup& lookup_;
  Clock::time_point start_;
  std::size_t step_ = 0;  // the step running or next to run
  std::optional<ConnectAttempt> connect_;
  std::optional<BannerRead> read_;
  ProbeReport report_;
  bool finished_ = false;
};

}  // namespace ov::probe
