# The demo data of data/demo in the program folder: hexcore.xml, the
# device profile, and the catalog with its cabinets.
set(demo "${CMAKE_SOURCE_DIR}/data/demo")
file(GLOB demo_infs "${demo}/packages/*.inf")
hexcore_cabinets(demo_cabs "${KELVANE_DIST}/catalog/packages" ${demo_infs})
add_custom_command(OUTPUT "${KELVANE_DIST}/catalog/catalog.xml"
    COMMAND ${CMAKE_COMMAND} -DTEMPLATE=${demo}/catalog.xml.in -DPACKAGES=${KELVANE_DIST}/catalog/packages
            -DOUTPUT=${KELVANE_DIST}/catalog/catalog.xml -P ${CMAKE_CURRENT_SOURCE_DIR}/fill_catalog.cmake
    DEPENDS ${demo_cabs} "${demo}/catalog.xml.in" fill_catalog.cmake
    COMMENT "Writing the demo catalog")
# Copied only when the source changes, so an update of the demo profile
# stays until then.
add_custom_command(OUTPUT "${KELVANE_DIST}/demo/profile.xml" "${KELVANE_DIST}/hexcore.xml"
    COMMAND ${CMAKE_COMMAND} -E copy "${demo}/profile.xml" "${KELVANE_DIST}/demo/profile.xml"
    COMMAND ${CMAKE_COMMAND} -E copy "${demo}/hexcore.xml" "${KELVANE_DIST}/hexcore.xml"
    DEPENDS "${demo}/profile.xml" "${demo}/hexcore.xml")
add_custom_target(hexcore_demo ALL DEPENDS "${KELVANE_DIST}/catalog/catalog.xml" "${KELVANE_DIST}/demo/profile.xml")
add_dependencies(dist hexcore_demo)
