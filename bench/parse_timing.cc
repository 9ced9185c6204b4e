// Times the TextFSM engine on one template and input, for
// parse_engine_bench.py, which sets it beside python3-textfsm. Prints one
// line: microseconds per compile+parse, per parse with the template compiled
// once, and the records found.
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

// Mean microseconds of `work`, repeated for at least a third of a second.
template <class Work>
double mean_us(Work work) {
  using Clock = std::chrono::steady_clock;
  const auto start = Clock::now();
  std::size_t runs = 0;
  do {
    work();
    ++runs;
  } while (runs < 5 || Clock::now() - start < std::chrono::milliseconds(333));
  return std::chrono::duration<double, std::micro>(Clock::now() - start).count() /
         static_cast<double>(runs);
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
