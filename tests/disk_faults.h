// Places where writing a file fails, for the tests of every writer.
#pragma once

#include <filesystem>
#include <string>
#include <system_error>

namespace kvr::test {

// A name with the writer's extension in dir that leads to /dev/full, where opening
// succeeds and every write fails with "No space left on device".
inline std::string full_disk(const std::filesystem::path& dir, const std::string& ext) {
  const std::filesystem::path link = dir / ("full" + ext);
  std::error_code ec;
  std::filesystem::remove(link, ec);
  std::filesystem::create_symlink("/dev/full", link);
  return link.string();
}

// A folder named like a file with the writer's extension (the tests run as root, so
// permissions do not stop them).
inline std::string folder_as_file(const std::filesystem::path& dir, const std::string& ext) {
  const std::filesystem::path folder = dir / ("a folder" + ext);
  std::filesystem::create_directories(folder);
  return folder.string();
}

}  // namespace kvr::test
