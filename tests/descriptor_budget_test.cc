#include "fleet/descriptor_budget.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace ov {
namespace {

// In a child, so that the lowered limits do not outlive the test.
int probes_under_limit(rlim_t soft, rlim_t hard, std::size_t wanted) {
  const pid_t child = ::fork();
  if (child == 0) {
    const rlimit limit{soft, hard};
    if (::setrlimit(RLIMIT_NOFILE, &limit) != 0) ::_exit(255);
    ::_exit(static_cast<int>(probes_within_descriptor_limit(wanted)));
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(DescriptorBudget, RaisesTheSoftLimitThenFitsTheProbesUnderTheHardOne) {
  EXPECT_EQ(probes_under_limit(64, 64, 20), 20);  // fits as it is
  EXPECT_EQ(probes_under_limit(20, 64, 20), 20);  // fits once the soft limit is raised
  EXPECT_EQ(probes_under_limit(24, 24, 100), 4);  // two descriptors each beyond 16 kept
  EXPECT_EQ(probes_under_limit(10, 10, 100), 1);  // never none
}

}  // namespace
}  // namespace ov
