#include <gtest/gtest.h>

#include "outside/hexcore/catalog.hpp"
#include "outside/hexcore/match.hpp"

namespace {

using hexcore::catalog;
using hexcore::device;

std::string package(int id, const char* version, const char* date, const char* hwid) {
    return "<package id=\"" + std::to_string(id) + "\" version=\"" + version + "\" date=\"" + date +
           "\" size=\"10\" sha256=\"" + std::string(64, 'a') + "\" location=\"p.cab\" provider=\"P\" description=\"D\">"
           "<hardware-id>" + hwid + "</hardware-id></package>";
}

device make_device(std::vector<std::wstring> hardware, std::vector<std::wstring> compatible) {
    device d;
    d.instance_id = L"PCI\\X\\1";
    d.hardware_ids = std::move(hardware);
    d.compatible_ids = std::move(compatible);
    return d;
}

TEST(matching, ranks_hardware_ids_before_compatible_ids_then_version_then_date) {
    catalog c;
    c.load("<catalog>" + package(1, "9.0.0.0", "2024-01-01", "PCI\\CC_0300") +   // compatible, highest version
               package(2, "2.0.0.0", "2023-01-01", "pci\\ven_1&amp;dev_2") +        // hardware, case differs
               package(3, "2.0.0.0", "2023-06-01", "PCI\\VEN_1&amp;DEV_2") +        // same version, later
               package(4, "1.5.0.0", "2025-01-01", "PCI\\VEN_1&amp;DEV_2&amp;REV_1") + // hardware, lower version
               "</catalog>",
           "test");
    struct row {
        std::vector<std::wstring> hardware, compatible;
        int expected;  // 0: none
    } rows[] = {
        {{L"PCI\\VEN_1&DEV_2&REV_1", L"PCI\\VEN_1&DEV_2"}, {L"PCI\\CC_0300"}, 3},
        {{L"PCI\\VEN_1&DEV_2&REV_1"}, {L"PCI\\CC_0300"}, 4},
        {{L"PCI\\VEN_9"}, {L"PCI\\CC_0300"}, 1},
        {{L"PCI\\VEN_9"}, {L"PCI\\CC_0301"}, 0},
        {{}, {}, 0},
    };
    for (const row& r : rows) {
        const hexcore::best_match m = hexcore::find_best(c, make_device(r.hardware, r.compatible));
        EXPECT_EQ(m.pkg ? m.pkg->id : 0, r.expected) << "row " << (&r - rows);
    }
}

TEST(matching, a_package_is_newer_by_version_or_by_date_at_the_same_version) {
    catalog c;
    c.load("<catalog>" + package(1, "2.0.0.0", "2024-03-12", "X") + "</catalog>", "test");
    const hexcore::package& p = *c.find(1);
    struct row {
        const char* version;
        const char* date;
        bool present, newer;
    } rows[] = {
        {"1.9.9.9", "2025-01-01", true, true},   {"2.0.0.0", "2024-03-11", true, true},
        {"2.0.0.0", "2024-03-12", true, false},  {"2.0.0.1", "2020-01-01", true, false},
        {"10.0.0.0", "2020-01-01", true, false}, {"", "", false, true},
    };
    for (const row& r : rows) {
        hexcore::installed_driver d;
        d.present = r.present;
        if (r.present) {
            ASSERT_TRUE(hexcore::parse_version(r.version, d.ver));
            ASSERT_TRUE(hexcore::parse_date(r.date, d.date));
        }
        EXPECT_EQ(hexcore::is_newer(p, d), r.newer) << r.version << " " << r.date;
    }
}

TEST(matching, a_device_without_a_driver_gets_an_empty_installed_version_and_a_stable_id) {
    catalog c;
    c.load("<catalog>" + package(7, "1.2.3.4", "2024-03-12", "X") + "</catalog>", "test");
    device d = make_device({L"X"}, {});
    d.description = L"Thing";
    d.setup_class = L"Display";
    const hx_engine_driver r = hexcore::make_record(d, *c.find(7));
    EXPECT_EQ(r.installed_driver_version[0], 0);
    EXPECT_EQ(r.device_driver_id, 7);
    EXPECT_EQ(r.device_type, 1);
    EXPECT_EQ(std::wstring(r.available_driver_version), L"1.2.3.4");
    EXPECT_EQ(r.available_driver_version_build, 4);
    EXPECT_EQ(r.available_driver_release_date.wYear, 2024);
    EXPECT_EQ(r.device_id, hexcore::device_id_of(L"pci\\x\\1"));  // ids compare without case
    EXPECT_GE(r.device_id, 0);
    EXPECT_NE(hexcore::device_id_of(L"PCI\\X\\2"), r.device_id);
}

TEST(catalog, rejects_what_it_cannot_use_and_says_why) {
    struct row {
        std::string xml, words;
    } rows[] = {
        {"<catalog><package", "is malformed"},
        {"<other/>", "has no catalog element"},
        {"<catalog>" + package(1, "1.x", "2024-01-01", "A") + "</catalog>", "no valid version"},
        {"<catalog>" + package(1, "1.0.0.0", "2024-13-01", "A") + "</catalog>", "no valid date"},
        {"<catalog><package id=\"a\"/></catalog>", "no valid id"},
        {"<catalog>" + package(1, "1.0.0.0", "2024-01-01", "A") + package(1, "2.0.0.0", "2024-01-01", "B") +
             "</catalog>",
         "lists the package id 1 twice"},
    };
    for (const row& r : rows) {
        catalog c;
        try {
            c.load(r.xml, "C:\\cat.xml");
            ADD_FAILURE() << "accepted: " << r.xml;
        } catch (const hexcore::data_error& e) {
            EXPECT_NE(std::string(e.what()).find(r.words), std::string::npos) << e.what();
            EXPECT_NE(std::string(e.what()).find("C:\\cat.xml"), std::string::npos) << e.what();
        }
    }
}

TEST(versions, parse_four_numbers_at_most) {
    struct row {
        const char* text;
        bool ok;
        hexcore::version v;
    } rows[] = {
        {"1.2.3.4", true, {{1, 2, 3, 4}}}, {"10.0", true, {{10, 0, 0, 0}}}, {"1.2.3.4.5", false, {}},
        {"1..2", false, {}},              {"", false, {}},                {"a.b", false, {}},
        {"99999999999", false, {}},
    };
    for (const row& r : rows) {
        hexcore::version v;
        EXPECT_EQ(hexcore::parse_version(r.text, v), r.ok) << r.text;
        if (r.ok) {
            EXPECT_EQ(v, r.v) << r.text;
        }
    }
}

}  // namespace
