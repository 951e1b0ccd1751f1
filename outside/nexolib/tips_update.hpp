// The download of the products' tip files, on a thread of its own.
#pragma once

#include <string>
#include <vector>

#include "outside/nexolib/suite_data.hpp"

namespace nexolib {

// Every product's tip files of the suite data; throws error when there are
// none to fetch.
std::vector<tip_source> tip_sources(const suite_data& suite);

// Starts a detached thread that fetches each file and moves it into place.
void start_tips_update(std::vector<tip_source> sources);

// Fetches and places one file (the thread's work, also used by tests).
// Throws error; the existing file stays untouched on failure.
void update_tip_file(const tip_source& source, const std::wstring& file);

}  // namespace nexolib
