// A test host for the engine: a window whose messages pass the engine
// first, a notification callback that serves data from a table and
// attaches the "probe" behaviour, and a log of what happened.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "bindings/kvhtml.h"

namespace kvhtml_tests {

struct host {
    host();
    ~host();
    bool load(const std::string& html);

    HWND hwnd = nullptr;
    std::map<std::wstring, std::string> files;  // served with KvhtmlDataReady
    std::vector<std::wstring> dropped;          // answered with "discard"
    std::vector<std::string> log;
    bool handled_by_probe = false;              // what the probe's events answer
    std::string handle_at;                      // "id:phase" that reports handled
};

// Element helpers over the exports.
HELEMENT root(host& h);
HELEMENT find(HELEMENT under, const char* selector);  // first match or null
std::string id_of(HELEMENT he);
std::string attribute(HELEMENT he, const char* name);
std::string html_of(HELEMENT he, bool outer);
std::wstring text_of(HELEMENT he);
void pump();  // delivers the window's pending messages

BOOL KVCALL probe_proc(LPVOID tag, HELEMENT he, UINT group, LPVOID params);

}  // namespace kvhtml_tests
