// printf-style formatting into a buffer that grows until the text fits.
// Nothing is ever cut. Uses the C runtime's own printf, so in wide formats
// %s takes a wide string and %S a narrow one.
#pragma once

#include <cstdarg>
#include <string>
#include <type_traits>

namespace tessel {

std::string vformat(const char* format, va_list args);
std::wstring vformat(const wchar_t* format, va_list args);
std::string format(const char* format, ...);
std::wstring format(const wchar_t* format, ...);

// Arguments that may travel through a C ellipsis: no class objects.
template <class... A>
inline constexpr bool printf_arguments = (... && (std::is_arithmetic_v<A> || std::is_pointer_v<A> ||
                                                  std::is_enum_v<A> || std::is_null_pointer_v<A>));

}  // namespace tessel
