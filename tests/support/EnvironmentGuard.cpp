#include "EnvironmentGuard.h"

#include <cstdlib>

CEnvironmentGuard::CEnvironmentGuard(const char* name, const char* value) : name_(name) {
  if (const char* old = std::getenv(name)) saved_ = old;
  if (value != nullptr) {
    ::setenv(name, value, 1);
  } else {
    ::unsetenv(name);
  }
}

CEnvironmentGuard::~CEnvironmentGuard() {
  if (saved_) {
    ::setenv(name_.c_str(), saved_->c_str(), 1);
  } else {
    ::unsetenv(name_.c_str());
  }
}
