#include "engine/check_result.hpp"

#include "bindings/hexcore.h"
#include "tessel/exception.hpp"
#include "tessel/log.hpp"

namespace hx {

std::wstring result_name(std::int32_t result) {
    switch (result) {
    case HX_RESULT_ERROR_OPERATION_ALREADY_IN_PROGRESS: return L"HX_RESULT_ERROR_OPERATION_ALREADY_IN_PROGRESS";
    case HX_RESULT_ERROR_UNKNOWN_DEVICE_DRIVER_ID_SPECIFIED: return L"HX_RESULT_ERROR_UNKNOWN_DEVICE_DRIVER_ID_SPECIFIED";
    case HX_RESULT_ERROR_NO_DEVICE_DRIVERS_SPECIFIED: return L"HX_RESULT_ERROR_NO_DEVICE_DRIVERS_SPECIFIED";
    case HX_RESULT_ERROR_NO_SCAN_RESULTS_AVAILABLE: return L"HX_RESULT_ERROR_NO_SCAN_RESULTS_AVAILABLE";
    case HX_RESULT_ERROR_UNEXPECTED: return L"HX_RESULT_ERROR_UNEXPECTED";
    default: return {};
    }
}

std::wstring failure_message(const std::wstring& call_label, std::int32_t result) {
    return L"Hexcore engine indicates that call to " + call_label + L" failed with error code " + result_name(result);
}

void check_result(std::int32_t result, const std::wstring& call_label) {
    if (result == 0) return;
    const std::wstring message = failure_message(call_label, result);
    log_error(L"<%s> <%s>", call_label.c_str(), message.c_str());
    throw tessel::exception_w(message);
}

}  // namespace hx
