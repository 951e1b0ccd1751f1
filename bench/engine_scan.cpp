// Driver engine scan: a synthetic PC of 2,000 devices (3 hardware ids and 5
// compatible ids each) against a synthetic catalog of 100,000 packages.
// Prints the catalog load time beside pugixml's own parse of the same file,
// the match time and the whole scan time, then the demo's whole scan.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include <pugixml.hpp>

#include "outside/hexcore/catalog.hpp"
#include "outside/hexcore/core.hpp"
#include "outside/hexcore/fetch.hpp"
#include "outside/hexcore/match.hpp"
#include "outside/hexcore/profile.hpp"
#include "outside/hexcore/text.hpp"

namespace {

using clock_type = std::chrono::steady_clock;

double ms_since(clock_type::time_point start) {
    return std::chrono::duration<double, std::milli>(clock_type::now() - start).count();
}

constexpr int devices = 2000;
constexpr int packages = 100000;

std::string hex4(unsigned v) {
    char b[8];
    std::snprintf(b, sizeof b, "%04X", v & 0xFFFF);
    return b;
}

// Device i: vendor and device numbers that every tenth package serves.
std::string hardware_id(int vendor, int dev) { return "PCI\\VEN_" + hex4(vendor) + "&amp;DEV_" + hex4(dev); }

void write_catalog(const std::wstring& path) {
    std::ofstream out(std::filesystem::path(path), std::ios::binary);
    out << "<catalog>\n";
    for (int i = 0; i < packages; ++i) {
        const int vendor = 0x1000 + i % 300, dev = i / 300;
        out << "  <package id=\"" << (100000 + i) << "\" provider=\"Vendor " << vendor << "\" version=\"" << (i % 40)
            << "." << (i % 7) << ".0." << i << "\" date=\"20" << (15 + i % 11) << "-0" << (1 + i % 9) << "-1" << (i % 9)
            << "\" description=\"Synthetic device " << i << "\" location=\"packages/" << i
            << ".cab\" size=\"123456\" sha256=\"" << std::string(64, 'c') << "\">\n"
            << "    <hardware-id>" << hardware_id(vendor, dev) << "</hardware-id>\n";
        if (i % 4 == 0) out << "    <hardware-id>" << hardware_id(vendor, dev) << "&amp;REV_01</hardware-id>\n";
        out << "  </package>\n";
    }
    out << "</catalog>\n";
}

void write_profile(const std::wstring& path) {
    std::ofstream out(std::filesystem::path(path), std::ios::binary);
    out << "<profile>\n";
    for (int i = 0; i < devices; ++i) {
        // Half the devices have ids the catalog serves.
        const int vendor = i % 2 ? 0x1000 + i % 300 : 0x9000 + i % 300, dev = (i * 7) % 330;
        const std::string id = hardware_id(vendor, dev);
        out << "  <device instance-id=\"PCI\\VEN_" << hex4(vendor) << "\\" << i << "\" description=\"Device " << i
            << "\" manufacturer=\"M\" class=\"System\" class-guid=\"{4d36e97d-e325-11ce-bfc1-08002be10318}\">\n"
            << "    <hardware-id>" << id << "&amp;SUBSYS_12345678&amp;REV_01</hardware-id>\n"
            << "    <hardware-id>" << id << "&amp;SUBSYS_12345678</hardware-id>\n"
            << "    <hardware-id>" << id << "</hardware-id>\n"
            << "    <compatible-id>" << id << "&amp;REV_01</compatible-id>\n"
            << "    <compatible-id>PCI\\VEN_" << hex4(vendor) << "&amp;CC_0C0500</compatible-id>\n"
            << "    <compatible-id>PCI\\VEN_" << hex4(vendor) << "&amp;CC_0C05</compatible-id>\n"
            << "    <compatible-id>PCI\\CC_0C0500</compatible-id>\n"
            << "    <compatible-id>PCI\\CC_0C05</compatible-id>\n"
            << "    <driver provider=\"Old\" version=\"5.0.0.0\" date=\"2019-01-01\"/>\n"
            << "  </device>\n";
    }
    out << "</profile>\n";
}

HANDLE scan_done = nullptr;
void HXCALL on_complete(int32_t) { ::SetEvent(scan_done); }

// The engine's whole scan, start callback to complete callback.
double whole_scan(const std::wstring& folder, const std::string& profile, const std::string& catalog) {
    std::ofstream(std::filesystem::path(folder + L"hexcore.xml"))
        << "<hexcore><inventory source=\"file\" profile=\"" << profile << "\"/><catalog location=\"" << catalog
        << "\"/><cache folder=\"" << hexcore::utf8(folder) << "cache\"/></hexcore>";
    hexcore::core engine(folder);
    engine.set_callbacks(&on_complete);
    if (engine.init(L"bench", L"") != 0) return -1;
    ::ResetEvent(scan_done);
    const auto start = clock_type::now();
    if (engine.start_scan() != 0) return -1;
    ::WaitForSingleObject(scan_done, INFINITE);
    const double ms = ms_since(start);
    ::Sleep(50);  // the scan thread ends after its last callback
    return ms;
}

std::wstring program_folder() {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring p = path;
    return p.substr(0, p.find_last_of(L'\\') + 1);
}

}  // namespace

int wmain() {
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"kelvane-bench-engine\\";
    std::filesystem::create_directories(folder);
    scan_done = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    const std::wstring catalog_path = folder + L"catalog.xml", profile_path = folder + L"profile.xml";
    write_catalog(catalog_path);
    write_profile(profile_path);
    std::printf("catalog_packages: %d\n", packages);
    std::printf("catalog_size: %.1f MB\n", static_cast<double>(std::filesystem::file_size(catalog_path)) / 1e6);
    std::printf("profile_devices: %d\n", devices);

    // Best of five for each, so a cold cache does not decide.
    double raw = 1e9, load = 1e9, match = 1e9;
    std::size_t outdated = 0;
    for (int round = 0; round < 5; ++round) {
        auto start = clock_type::now();
        {
            pugi::xml_document doc;
            doc.load_file(catalog_path.c_str());
        }
        raw = std::min(raw, ms_since(start));

        start = clock_type::now();
        hexcore::catalog c;
        c.load(hexcore::read_all(catalog_path), "bench");
        load = std::min(load, ms_since(start));

        const std::vector<hexcore::device> list = hexcore::read_profile(profile_path);
        start = clock_type::now();
        outdated = hexcore::find_outdated(c, list).size();
        match = std::min(match, ms_since(start));
    }
    std::printf("pugixml_parse: %.1f ms\n", raw);
    std::printf("catalog_load: %.1f ms\n", load);
    std::printf("catalog_load_ratio: %.2f (limit 1.5)\n", load / raw);
    std::printf("match_2000_devices: %.1f ms (limit 50)\n", match);
    std::printf("outdated_devices: %zu\n", outdated);
    std::printf("whole_scan_synthetic: %.1f ms\n",
                whole_scan(folder, hexcore::utf8(profile_path), hexcore::utf8(catalog_path)));

    const std::wstring dist = program_folder() + L"..\\dist\\";
    double demo = 1e9;
    for (int round = 0; round < 5; ++round)
        demo = std::min(demo, whole_scan(folder, hexcore::utf8(dist + L"demo\\profile.xml"),
                                         hexcore::utf8(dist + L"catalog\\catalog.xml")));
    std::printf("whole_scan_demo: %.1f ms (limit 100)\n", demo);

    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    return 0;
}
