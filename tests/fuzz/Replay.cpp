// Replays a fuzz target's kept inputs in the ordinary test run: every file of
// the folders in FUZZ_CORPORA (the crashes found so far, then the seed
// corpus), in name order. A failed property aborts the test process; the
// file being replayed was named on stderr just before.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> Inputs(const std::string& folder) {
  std::vector<fs::path> files;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(folder, ec))
    if (entry.is_regular_file()) files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  return files;
}

// Named after the target (FUZZ_SUITE), so that each target has a test of its own.
TEST(FUZZ_SUITE, KeptInputsAndSeedsPass) {
  std::stringstream folders(FUZZ_CORPORA);
  std::string folder;
  std::size_t replayed = 0;
  while (std::getline(folders, folder, ':')) {
    for (const fs::path& file : Inputs(folder)) {
      std::ifstream in(file, std::ios::binary);
      const std::vector<char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
      std::fprintf(stderr, "replaying %s\n", file.c_str());
      LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
      ++replayed;
    }
  }
  // An empty or misnamed folder would make this test pass on nothing.
  EXPECT_GT(replayed, 0u) << "no input found in " << FUZZ_CORPORA;
}

}  // namespace
