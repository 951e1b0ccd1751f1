/* The driver engine's call interface (hexcoreengine.dll): eleven functions,
 * four callbacks, the result codes and the two fixed-layout records. Shared
 * by the program and by the engine itself. All calls use the C calling
 * convention. */
#ifndef KELVANE_BINDINGS_HEXCORE_H
#define KELVANE_BINDINGS_HEXCORE_H

#include <windows.h>
#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define HXCALL __cdecl

/* Result codes. */
enum {
    HX_RESULT_SUCCESS = 0,
    HX_RESULT_ERROR_OPERATION_ALREADY_IN_PROGRESS = 1,
    HX_RESULT_ERROR_UNKNOWN_DEVICE_DRIVER_ID_SPECIFIED = 2,
    HX_RESULT_ERROR_NO_DEVICE_DRIVERS_SPECIFIED = 3,
    HX_RESULT_ERROR_NO_SCAN_RESULTS_AVAILABLE = 4,
    HX_RESULT_ERROR_UNEXPECTED = 0xEADEED
};

/* Operations named in the start, complete and error callbacks. */
enum { HX_OPERATION_SCAN = 0, HX_OPERATION_UPDATE = 1 };

/* One driver as the engine hands it over: 3448 bytes, strings are
 * zero-terminated UTF-16 in fixed arrays. */
typedef struct hx_engine_driver {
    int32_t device_id;                              /*    0 */
    int32_t device_driver_id;                       /*    4 */
    wchar_t device_description[256];                /*    8 */
    wchar_t device_manufacturer[256];               /*  520 */
    int32_t device_type;                            /* 1032 */
    wchar_t device_class[256];                      /* 1036 */
    wchar_t device_class_guid[39];                  /* 1548 */
    wchar_t installed_driver_provider[256];         /* 1626 */
    wchar_t installed_driver_version[51];           /* 2138 */
    int32_t installed_driver_version_major;         /* 2240 */
    int32_t installed_driver_version_minor;
    int32_t installed_driver_version_release;
    int32_t installed_driver_version_build;
    SYSTEMTIME installed_driver_release_date;       /* 2256 */
    wchar_t available_driver_provider[256];         /* 2272 */
    wchar_t available_driver_version[52];           /* 2784 */
    int32_t available_driver_version_major;         /* 2888 */
    int32_t available_driver_version_minor;
    int32_t available_driver_version_release;
    int32_t available_driver_version_build;
    SYSTEMTIME available_driver_release_date;       /* 2904 */
    uint8_t engine_private[16];                     /* 2920: the engine's own */
    wchar_t available_driver_inf_description[256];  /* 2936 */
} hx_engine_driver;

/* The summary of the last finished scan: nine 32-bit words. */
typedef struct hx_scan_summary {
    int32_t devices_examined;    /*  0: engine's own */
    int32_t devices_with_driver; /*  4: engine's own */
    int32_t packages_in_catalog; /*  8: engine's own */
    int32_t duration_ms;         /* 12: engine's own */
    int32_t result_count;        /* 16: records in the results array */
    int32_t failed;              /* 20: 1 when the scan failed */
    int32_t reserved[3];         /* 24 */
} hx_scan_summary;

/* Callbacks; texts may be null and are valid only during the call. */
typedef void(HXCALL* hx_start_callback)(int32_t operation, const wchar_t* text);
typedef void(HXCALL* hx_progress_callback)(double progress, const wchar_t* text, int32_t state,
                                           const hx_engine_driver* driver);
typedef void(HXCALL* hx_complete_callback)(int32_t operation);
typedef void(HXCALL* hx_error_callback)(int32_t operation, const wchar_t* text, int32_t error_code);

/* The eleven functions, and their pointer types for binding at run time. */
#define HX_FUNCTIONS(X)                                                                                  \
    X(hxEngineInit, (const wchar_t* application_id, const wchar_t* log_base_path))                     \
    X(hxSetOperationStartCallback, (hx_start_callback callback))                                       \
    X(hxSetOperationProgressCallback, (hx_progress_callback callback))                                 \
    X(hxSetOperationCompleteCallback, (hx_complete_callback callback))                                 \
    X(hxSetOperationErrorCallback, (hx_error_callback callback))                                       \
    X(hxStartScan, (void))                                                                             \
    X(hxCancelScan, (void))                                                                            \
    X(hxGetLastScanSummary, (hx_scan_summary * summary))                                               \
    X(hxGetLastScanResults, (const hx_engine_driver** results))                                        \
    X(hxStartDriversUpdate, (const int32_t* device_driver_ids, int32_t count, const wchar_t* restore_point)) \
    X(hxCancelDriversUpdate, (void))

#define HX_DECLARE_FUNCTION(name, args)  \
    int32_t HXCALL name args;            \
    typedef int32_t(HXCALL* name##_fn) args;
HX_FUNCTIONS(HX_DECLARE_FUNCTION)
#undef HX_DECLARE_FUNCTION

#ifdef __cplusplus
}

static_assert(sizeof(hx_engine_driver) == 3448, "engine driver record size");
static_assert(offsetof(hx_engine_driver, device_driver_id) == 4);
static_assert(offsetof(hx_engine_driver, device_description) == 8);
static_assert(offsetof(hx_engine_driver, device_manufacturer) == 520);
static_assert(offsetof(hx_engine_driver, device_type) == 1032);
static_assert(offsetof(hx_engine_driver, device_class) == 1036);
static_assert(offsetof(hx_engine_driver, device_class_guid) == 1548);
static_assert(offsetof(hx_engine_driver, installed_driver_provider) == 1626);
static_assert(offsetof(hx_engine_driver, installed_driver_version) == 2138);
static_assert(offsetof(hx_engine_driver, installed_driver_version_major) == 2240);
static_assert(offsetof(hx_engine_driver, installed_driver_release_date) == 2256);
static_assert(offsetof(hx_engine_driver, available_driver_provider) == 2272);
static_assert(offsetof(hx_engine_driver, available_driver_version) == 2784);
static_assert(offsetof(hx_engine_driver, available_driver_version_major) == 2888);
static_assert(offsetof(hx_engine_driver, available_driver_release_date) == 2904);
static_assert(offsetof(hx_engine_driver, engine_private) == 2920);
static_assert(offsetof(hx_engine_driver, available_driver_inf_description) == 2936);
static_assert(sizeof(hx_scan_summary) == 36, "scan summary size");
static_assert(offsetof(hx_scan_summary, result_count) == 16);
static_assert(offsetof(hx_scan_summary, failed) == 20);
#endif

#endif
