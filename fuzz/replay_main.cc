// Runs a fuzz target once over every file named on the command line (or in
// a directory named there), so the kept corpus is replayed as an ordinary
// test, without libFuzzer. A finding aborts, as it would under the fuzzer.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

void replay(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

}  // namespace

int main(int argc, char** argv) {
  std::size_t count = 0;
  for (int i = 1; i < argc; ++i) {
    const std::filesystem::path root = argv[i];
    if (!std::filesystem::is_directory(root)) {
      replay(root);
      ++count;
      continue;
    }
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(root)) {
      if (entry.is_regular_file()) files.push_back(entry.path());
    }
    for (const auto& file : files) replay(file);
    count += files.size();
  }
  std::printf("replayed %zu inputs\n", count);
  return count == 0 ? 1 : 0;  // an empty corpus replays nothing: a broken path
}
