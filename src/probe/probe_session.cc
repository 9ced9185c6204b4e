#include "probe/probe_session.h"

#include <chrono>
#include <utility>

namespace ov::probe {

ProbeSession::ProbeSession(std::string_view host, std::string_view vendor, Duration timeout,
                           std::span<const std::string> skip, std::span<const ProbeStep> steps,
                           const AddressLookup& lookup)
    : host_(host),
      timeout_(timeout),
      skip_(skip),
      steps_(steps),
      lookup_(lookup),
      start_(Clock::now()) {
  report_.host = host;
  report_.vendor = vendor;
}

std::optional<Readiness> ProbeSession::next(Clock::time_point now) {
  while (!finished_) {
    if (connect_) {
      if (auto wait = connect_->next(now)) return wait;
      connected();
    } else if (read_) {
      if (auto wait = read_->next(now)) return wait;
      banner_read();
    } else if (step_ == steps_.size()) {
      report_.elapsed_ms = whole_milliseconds(
          std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now() - start_));
      finished_ = true;
    } else if (is_skipped(steps_[step_].skip_name, skip_)) {
      ++step_;
    } else {
      begin_step();
    }
  }
  return std::nullopt;
}

void ProbeSession::on_ready(short revents, Clock::time_point now) {
  if (connect_) {
    connect_->on_ready(revents, now);
  } else if (read_) {
    read_->on_ready(revents, now);
  }
}

void ProbeSession::on_poll_failure(const NetError& error) {
  if (connect_) {
    connect_->on_poll_failure(error);
  } else if (read_) {
    read_->on_poll_failure(error);
  }
}

ProbeReport ProbeSession::take_report() { return std::move(report_); }

// Each step resolves the host afresh, as a lone connect would.
void ProbeSession::begin_step() {
  auto addresses = resolve(host_, steps_[step_].port, lookup_);
  if (!addresses) {
    fail_step(addresses.error());
    return;
  }
  connect_.emplace(std::move(*addresses), timeout_);
}

void ProbeSession::connected() {
  auto stream = connect_->take();
  connect_.reset();
  if (!stream) {
    fail_step(stream.error());
    return;
  }
  if (auto failure = set_io_timeouts(*stream, timeout_)) {
    fail_step(*failure);
    return;
  }
  if (steps_[step_].operation == StepOperation::ReadBanner) {
    read_.emplace(std::move(*stream), timeout_, Clock::now());
  } else {
    end_step(true);  // the stream closes here: the connection is enough
  }
}

void ProbeSession::banner_read() {
  auto banner = read_->take();
  read_.reset();
  const ProbeStep& step = steps_[step_];
  if (!banner) {
    fail_step(banner.error());
  } else if (!*banner) {
    report_.diagnostics.push_back(no_banner_line(step));
    end_step(false);
  } else {
    if (step.keeps_banner) report_.ssh_banner = std::move(**banner);
    end_step(true);
  }
}

void ProbeSession::fail_step(const NetError& error) {
  report_.diagnostics.push_back(failure_line(steps_[step_], error));
  end_step(false);
}

void ProbeSession::end_step(bool available) {
  const ProbeStep& step = steps_[step_++];
  if (step.flag != nullptr) report_.*step.flag = available;
}

}  // namespace ov::probe
