# cmake -DTEMPLATE=... -DPACKAGES=<folder of <id>.cab> -DOUTPUT=... -P fill_catalog.cmake
# Writes the catalog with every package's real size and SHA-256.
file(GLOB cabinets "${PACKAGES}/*.cab")
foreach(cab ${cabinets})
    get_filename_component(id "${cab}" NAME_WE)
    file(SIZE "${cab}" SIZE_${id})
    file(SHA256 "${cab}" SHA256_${id})
endforeach()
configure_file("${TEMPLATE}" "${OUTPUT}" @ONLY)
