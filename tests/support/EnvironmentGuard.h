#pragma once

#include <cstdlib>
#include <optional>
#include <string>

// Sets an environment variable (or removes it, for no value) for the life of
// the object, and puts back what was there however the test ends.
class CEnvironmentGuard {
 public:
  CEnvironmentGuard(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) saved_ = old;
    Set(value);
  }
  ~CEnvironmentGuard() { Set(saved_ ? saved_->c_str() : nullptr); }
  CEnvironmentGuard(const CEnvironmentGuard&) = delete;
  CEnvironmentGuard& operator=(const CEnvironmentGuard&) = delete;

 private:
  void Set(const char* value) {
    if (value != nullptr) ::setenv(name_.c_str(), value, 1);
    if (value == nullptr) ::unsetenv(name_.c_str());
  }
  std::string name_;
  std::optional<std::string> saved_;
};
