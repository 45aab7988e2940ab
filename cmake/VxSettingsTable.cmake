# The numbers of the settings table (settings/SettingsTable.def) for files CMake fills in, the
# Inkscape dialogs and the manual page: VX_<Name>_DEFAULT, VX_<Name>_MIN and VX_<Name>_MAX,
# written as the table writes them.
set(VX_SETTINGS_TABLE ${PROJECT_SOURCE_DIR}/settings/SettingsTable.def)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${VX_SETTINGS_TABLE})
file(STRINGS ${VX_SETTINGS_TABLE} VX_NUMBER_SETTINGS REGEX "^VX_NUMBER\\(")
set(VX_LITERAL "([-+0-9.]+)")
foreach(line IN LISTS VX_NUMBER_SETTINGS)
    if(NOT line MATCHES "^VX_NUMBER\\(([A-Za-z0-9]+), *\"[^\"]*\", *\"[^\"]*\", *${VX_LITERAL}, *${VX_LITERAL}, *${VX_LITERAL}, *${VX_LITERAL}\\)$")
        message(FATAL_ERROR "settings table: cannot read \"${line}\"")
    endif()
    set(VX_${CMAKE_MATCH_1}_DEFAULT ${CMAKE_MATCH_2})
    set(VX_${CMAKE_MATCH_1}_MIN ${CMAKE_MATCH_3})
    set(VX_${CMAKE_MATCH_1}_MAX ${CMAKE_MATCH_4})
endforeach()
