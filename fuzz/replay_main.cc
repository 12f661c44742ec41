// Replays inputs through a fuzz target without libFuzzer, so that any
// compiler builds it and the test suites run every kept input once: each
// argument is a file, or a folder whose files (not its subfolders) are fed
// in name order. A broken check or a sanitizer report ends the replay with
// the name of the input on the standard error.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv) {
  if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
    std::fprintf(argc < 2 ? stderr : stdout,
                 "Usage: %s FILE_OR_FOLDER...\n"
                 "Feeds every file (the files of every folder, in name order) to the fuzz\n"
                 "target once.\n",
                 argv[0]);
    return argc < 2 ? 2 : 0;
  }
  std::vector<std::filesystem::path> inputs;
  for (int i = 1; i < argc; ++i) {
    const std::filesystem::path arg = argv[i];
    std::error_code ec;
    if (std::filesystem::is_directory(arg, ec)) {
      std::vector<std::filesystem::path> files;
      for (const auto& entry : std::filesystem::directory_iterator(arg, ec)) {
        if (entry.is_regular_file()) files.push_back(entry.path());
      }
      if (ec) {
        std::fprintf(stderr, "replay: cannot list %s: %s\n", argv[i], ec.message().c_str());
        return 2;
      }
      std::sort(files.begin(), files.end());
      inputs.insert(inputs.end(), files.begin(), files.end());
    } else if (std::filesystem::is_regular_file(arg, ec)) {
      inputs.push_back(arg);
    } else {
      std::fprintf(stderr, "replay: no such file or folder: %s\n", argv[i]);
      return 2;
    }
  }
  if (inputs.empty()) {
    std::fprintf(stderr, "replay: no input to replay\n");
    return 2;
  }
  for (const std::filesystem::path& path : inputs) {
    std::ifstream file(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (!file.good() && !file.eof()) {
      std::fprintf(stderr, "replay: cannot read %s\n", path.string().c_str());
      return 2;
    }
    std::fprintf(stderr, "replay: %s\n", path.string().c_str());
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  }
  std::printf("replay: %zu inputs, no failure\n", inputs.size());
  return 0;
}
