// Drives the engine DLL beside the test program through its exported
// functions, records every callback, and builds small worlds of profile,
// catalog and packages in a temporary folder.
#pragma once

#include <windows.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "bindings/hexcore.h"
#include "support.hpp"

namespace harness {

struct event {
    enum kind_t { start, progress, complete, error } kind = start;
    std::int32_t operation = 0;  // start, complete, error
    double fraction = 0;
    std::wstring text;
    std::int32_t state = 0;  // progress state or error code
    bool has_record = false;
    hx_engine_driver record{};
};

struct functions {
#define HARNESS_MEMBER(name, args) name##_fn name = nullptr;
    HX_FUNCTIONS(HARNESS_MEMBER)
#undef HARNESS_MEMBER
};

// The DLL, loaded once; callbacks registered.
const functions& engine();

// Everything the callbacks saw since the last clear.
std::vector<event> events();
void clear_events();
// Called on the engine's thread for every event (may call the engine).
void on_event(std::function<void(const event&)> hook);
// Waits for the complete callback of the operation.
bool wait_complete(std::int32_t operation, std::chrono::milliseconds limit = std::chrono::seconds(30));

// The folder of the test program (ends with "\").
std::wstring here();
// Writes hexcore.xml beside the DLL and initialises the engine with it.
std::int32_t configure(const std::string& xml, const std::wstring& log_base = L"");

std::string sha256_of_file(const std::wstring& path);

struct package_spec {
    int id = 0;
    std::string version = {}, date = {}, location = {}, hardware_id = {};
    std::string cab = {};     // file name under the test's packages folder (size and hash taken from it)
    std::string sha256 = {};  // overrides the real one when set
    std::string provider = "Contoso";
    std::string description = "Contoso driver";
};

struct device_spec {
    std::string instance_id = {}, description = {}, hardware_id = {}, compatible_id = {};
    std::string version = {}, date = {};  // empty: no installed driver
    std::string setup_class = "Display";
};

// A temporary folder with a profile, a catalog, the packages and a cache.
class world {
public:
    explicit world(const std::wstring& name);
    void write_profile(const std::vector<device_spec>& devices);
    // Packages are copied into the world's folder "packages".
    void write_catalog(const std::vector<package_spec>& packages);
    // An engine configuration for the world (file inventory, journal).
    std::string config(const std::string& catalog_location = "", const std::string& extra = "") const;
    std::wstring path(const std::wstring& name) const { return folder_ / name; }
    std::string narrow(const std::wstring& name) const;

private:
    test_support::temp_folder folder_;
};

}  // namespace harness
