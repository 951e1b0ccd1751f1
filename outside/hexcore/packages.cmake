# hexcore_cabinets(<out-var> <output-folder> <inf files...>): one cabinet
# per INF, <name>.cab, built with gcab at build time.
function(hexcore_cabinets out folder)
    set(cabs)
    foreach(inf ${ARGN})
        get_filename_component(name "${inf}" NAME_WE)
        set(cab "${folder}/${name}.cab")
        add_custom_command(OUTPUT "${cab}"
            COMMAND ${CMAKE_COMMAND} -E make_directory "${folder}"
            COMMAND gcab -c -n -z "${cab}" "${inf}"
            DEPENDS "${inf}"
            COMMENT "Packing ${name}.cab")
        list(APPEND cabs "${cab}")
    endforeach()
    set(${out} ${cabs} PARENT_SCOPE)
endfunction()
