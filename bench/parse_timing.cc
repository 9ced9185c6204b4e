// Times the TextFSM engine on one template and input, for
// parse_engine_bench.py, which sets it beside python3-textfsm. Prints one
// line: microseconds per compile+parse, per parse with the template compiled
// once, and the records found.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "parse/template.h"

namespace {

std::string read_file(const char* path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Microseconds of `work`: the least mean of seven rounds of at least 50 ms
// each, so that other load on the machine weighs as little as it can.
template <class Work>
double mean_us(Work work) {
  using Clock = std::chrono::steady_clock;
  double best = 1e300;
  for (int round = 0; round < 7; ++round) {
    const auto start = Clock::now();
    std::size_t runs = 0;
    do {
      work();
      ++runs;
    } while (runs < 3 || Clock::now() - start < std::chrono::milliseconds(50));
    const double mean = std::chrono::duration<double, std::micro>(Clock::now() - start).count() /
                        static_cast<double>(runs);
    best = std::min(best, mean);
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fputs("usage: parse_timing TEMPLATE INPUT\n", stderr);
    return 2;
  }
  const std::string text = read_file(argv[1]);
  const std::string input = read_file(argv[2]);
  const auto compiled = ov::parse::Template::compile(text);
  if (!compiled) {
    std::fprintf(stderr, "%s\n", compiled.error().message().c_str());
    return 2;
  }
  std::size_t records = 0;
  const double both = mean_us([&] { records = ov::parse::Template::compile(text)->parse(input)->records.size(); });
  const double parse = mean_us([&] { records = compiled->parse(input)->records.size(); });
  std::printf("%.3f %.3f %zu\n", both, parse, records);
  return 0;
}
