#include "outside/hexcore/profile.hpp"

#include <pugixml.hpp>

#include "outside/hexcore/catalog.hpp"
#include "outside/hexcore/text.hpp"

namespace hexcore {
namespace {

pugi::xml_document load(const std::wstring& path) {
    pugi::xml_document doc;
    const pugi::xml_parse_result parsed = doc.load_file(path.c_str());
    if (parsed.status == pugi::status_file_not_found || parsed.status == pugi::status_io_error)
        throw data_error("The device profile " + utf8(path) + " cannot be read");
    if (!parsed)
        throw data_error("The device profile " + utf8(path) + " is malformed: " + parsed.description() +
                         " at offset " + std::to_string(parsed.offset));
    if (!doc.child("profile")) throw data_error("The device profile " + utf8(path) + " has no profile element");
    return doc;
}

void save_replacing(pugi::xml_document& doc, const std::wstring& path) {
    const std::wstring temporary = path + L".new";
    if (!doc.save_file(temporary.c_str(), "  ", pugi::format_default, pugi::encoding_utf8))
        throw data_error("The device profile " + utf8(temporary) + " cannot be written");
    if (!::MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD error = ::GetLastError();
        ::DeleteFileW(temporary.c_str());
        throw data_error("The device profile " + utf8(path) + " cannot be replaced: " + system_text(error));
    }
}

}  // namespace

std::vector<device> read_profile(const std::wstring& path) {
    const pugi::xml_document doc = load(path);
    std::vector<device> devices;
    for (pugi::xml_node n = doc.child("profile").child("device"); n; n = n.next_sibling("device")) {
        device d;
        d.instance_id = wide(n.attribute("instance-id").value());
        if (d.instance_id.empty())
            throw data_error("The device profile " + utf8(path) + " has a device without an instance-id (device " +
                             std::to_string(devices.size() + 1) + ")");
        d.description = wide(n.attribute("description").value());
        d.manufacturer = wide(n.attribute("manufacturer").value());
        d.setup_class = wide(n.attribute("class").value());
        d.class_guid = wide(n.attribute("class-guid").value());
        for (pugi::xml_node id = n.child("hardware-id"); id; id = id.next_sibling("hardware-id"))
            d.hardware_ids.push_back(wide(id.child_value()));
        for (pugi::xml_node id = n.child("compatible-id"); id; id = id.next_sibling("compatible-id"))
            d.compatible_ids.push_back(wide(id.child_value()));
        if (const pugi::xml_node drv = n.child("driver")) {
            d.driver.present = true;
            d.driver.provider = wide(drv.attribute("provider").value());
            d.driver.version_text = wide(drv.attribute("version").value());
            if (!parse_version(drv.attribute("version").value(), d.driver.ver) ||
                !parse_date(drv.attribute("date").value(), d.driver.date))
                throw data_error("The device profile " + utf8(path) + " has a driver without a valid version or date (" +
                                 utf8(d.instance_id) + ")");
        }
        devices.push_back(std::move(d));
    }
    return devices;
}

void write_profile(const std::wstring& path, const std::vector<device>& devices) {
    pugi::xml_document doc;
    pugi::xml_node root = doc.append_child("profile");
    for (const device& d : devices) {
        pugi::xml_node n = root.append_child("device");
        n.append_attribute("instance-id") = utf8(d.instance_id).c_str();
        n.append_attribute("description") = utf8(d.description).c_str();
        n.append_attribute("manufacturer") = utf8(d.manufacturer).c_str();
        n.append_attribute("class") = utf8(d.setup_class).c_str();
        n.append_attribute("class-guid") = utf8(d.class_guid).c_str();
        for (const std::wstring& id : d.hardware_ids) n.append_child("hardware-id").text() = utf8(id).c_str();
        for (const std::wstring& id : d.compatible_ids) n.append_child("compatible-id").text() = utf8(id).c_str();
        if (d.driver.present) {
            pugi::xml_node drv = n.append_child("driver");
            drv.append_attribute("provider") = utf8(d.driver.provider).c_str();
            drv.append_attribute("version") = utf8(d.driver.version_text).c_str();
            drv.append_attribute("date") = utf8(date_text(d.driver.date)).c_str();
        }
    }
    save_replacing(doc, path);
}

void record_installs(const std::wstring& path, const std::vector<installed_change>& changes) {
    pugi::xml_document doc = load(path);
    for (const installed_change& c : changes) {
        const std::string id = utf8(c.instance_id);
        bool found = false;
        for (pugi::xml_node n = doc.child("profile").child("device"); n; n = n.next_sibling("device")) {
            if (::lstrcmpiW(wide(n.attribute("instance-id").value()).c_str(), c.instance_id.c_str()) != 0) continue;
            pugi::xml_node drv = n.child("driver");
            if (!drv) drv = n.append_child("driver");
            drv.remove_attributes();
            drv.append_attribute("provider") = utf8(c.provider).c_str();
            drv.append_attribute("version") = utf8(c.version_text).c_str();
            drv.append_attribute("date") = utf8(date_text(c.date)).c_str();
            found = true;
        }
        if (!found) throw data_error("The device " + id + " is no longer in the device profile " + utf8(path));
    }
    save_replacing(doc, path);
}

}  // namespace hexcore
