// Where the tests write their files: $KVR_TEST_OUT (ctest sets it to the build's out
// folder), else test_out below the working folder. Folders are created on first use.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

inline std::filesystem::path test_out_dir(const std::string& sub = {}) {
  const char* env = std::getenv("KVR_TEST_OUT");
  std::filesystem::path dir = env && *env ? env : "test_out";
  if (!sub.empty()) dir /= sub;
  std::filesystem::create_directories(dir);
  return dir;
}

inline std::string test_out_file(const std::string& name, const std::string& sub = {}) {
  return (test_out_dir(sub) / name).string();
}
