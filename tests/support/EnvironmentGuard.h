#pragma once

#include <optional>
#include <string>

// Sets an environment variable (or removes it, for no value) for the life of
// the object, and puts back what was there however the test ends.
class CEnvironmentGuard {
 public:
  CEnvironmentGuard(const char* name, const char* value);
  ~CEnvironmentGuard();
  CEnvironmentGuard(const CEnvironmentGuard&) = delete;
  CEnvironmentGuard& operator=(const CEnvironmentGuard&) = delete;

 private:
  std::string name_;
  std::optional<std::string> saved_;
};
