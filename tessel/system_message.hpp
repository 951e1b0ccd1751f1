// The system's text for an error code, in the user's default language,
// without its final line break.
#pragma once

#include <string>

namespace tessel {

std::wstring system_message(unsigned long error_code);
std::string system_message_narrow(unsigned long error_code);  // ANSI

}  // namespace tessel
