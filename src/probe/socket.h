// The probe's socket descriptors, owned as every descriptor is.
#pragma once

#include "base/unique_fd.h"

namespace ov::probe {

using Socket = UniqueFd;

// A connected TCP socket handed to the caller of tcp_connect.
using Stream = Socket;

}  // namespace ov::probe
