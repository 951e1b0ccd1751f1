// Turns an engine result code into a logged error and a raised exception.
#pragma once

#include <cstdint>
#include <string>

namespace hx {

// The name of a result code; empty for codes without one (and for 0).
std::wstring result_name(std::int32_t result);
// The message for a failed call: "Hexcore engine indicates that call to
// <label> failed with error code <name>".
std::wstring failure_message(const std::wstring& call_label, std::int32_t result);
// Nothing for 0; otherwise logs "<label> <message>" and throws
// tessel::exception_w with the message.
void check_result(std::int32_t result, const std::wstring& call_label);

}  // namespace hx
