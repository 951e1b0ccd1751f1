# Third-party code, compiled from the sources that scripts/setup provides.

# pugixml, from Debian's source package unpacked under build/deps.
set(PUGIXML_DIR "${KELVANE_DEPS}/pugixml/src")
if(NOT EXISTS "${PUGIXML_DIR}/pugixml.cpp")
    message(FATAL_ERROR "pugixml sources not found in ${PUGIXML_DIR}: run scripts/setup")
endif()
add_library(pugixml STATIC "${PUGIXML_DIR}/pugixml.cpp")
target_include_directories(pugixml SYSTEM PUBLIC "${PUGIXML_DIR}")

# Boost: header-only parts, from a folder that holds nothing but them.
add_library(boost_headers INTERFACE)
target_include_directories(boost_headers SYSTEM INTERFACE "${KELVANE_DEPS}/boost-include")

# GoogleTest, from the sources Debian's googletest package installs.
if(KELVANE_TESTS)
    set(GTEST_SRC /usr/src/googletest/googletest)
    set(GMOCK_SRC /usr/src/googletest/googlemock)
    if(NOT EXISTS "${GTEST_SRC}/src/gtest-all.cc")
        message(FATAL_ERROR "GoogleTest sources not found in ${GTEST_SRC}: run scripts/setup")
    endif()
    add_library(gtest STATIC "${GTEST_SRC}/src/gtest-all.cc" "${GMOCK_SRC}/src/gmock-all.cc")
    target_include_directories(gtest SYSTEM PUBLIC "${GTEST_SRC}/include" "${GMOCK_SRC}/include")
    target_include_directories(gtest PRIVATE "${GTEST_SRC}" "${GMOCK_SRC}")
    add_library(gtest_main STATIC "${GTEST_SRC}/src/gtest_main.cc")
    target_link_libraries(gtest_main PUBLIC gtest)
endif()
