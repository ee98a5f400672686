// The end-to-end build's record of system requests it does not make: one
// line appended to the file named by an environment variable, for the test
// driver to read. No variable, no record.
#pragma once

#include <string>

namespace quorvel::win32 {

void append_request(const wchar_t* variable, const std::string& line);

}  // namespace quorvel::win32
