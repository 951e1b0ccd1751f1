#include "outside/hexcore/text.hpp"

#include <windows.h>

#include "tessel/system_message.hpp"
#include "tessel/unicode.hpp"

namespace hexcore {

std::wstring wide(std::string_view s) { return tessel::unicode::from_utf8(s); }

std::string utf8(std::wstring_view s) { return tessel::unicode::to_utf8(s); }

std::string system_text(unsigned long error) { return utf8(tessel::system_message(error)) + " (" + std::to_string(error) + ")"; }

}  // namespace hexcore
