// The operating system's errors in Italian, whatever the language of the
// machine: every message of the builder and of the tool reads in one
// language. The common codes have their own words; others give their number.
#ifndef SCENARIO_PLATFORM_SYSTEM_ERRORS_H_
#define SCENARIO_PLATFORM_SYSTEM_ERRORS_H_

#include <string>
#include <system_error>

namespace scenario {

// The text of an errno value (ENOENT: "file o cartella inesistente").
std::string ErrnoText(int error);

// The text of an error of the standard library's file functions: an errno
// value, or on Windows a system error code.
std::string ErrorCodeText(const std::error_code& ec);

}  // namespace scenario

#endif  // SCENARIO_PLATFORM_SYSTEM_ERRORS_H_
