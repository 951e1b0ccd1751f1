// SHA-256 through the system's cryptography (BCrypt).
#pragma once

#include <cstddef>
#include <string>

namespace hexcore {

class sha256 {
public:
    sha256();
    ~sha256();
    sha256(const sha256&) = delete;
    sha256& operator=(const sha256&) = delete;

    void add(const void* data, std::size_t size);
    std::string hex();  // lower-case; ends the hash

private:
    void* algorithm_ = nullptr;
    void* hash_ = nullptr;
};

}  // namespace hexcore
