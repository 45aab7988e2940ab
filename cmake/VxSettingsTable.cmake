# The numbers of the settings table (settings/SettingsTable.def) for the files CMake fills in,
# the Inkscape dialogs and cutjob's manual page: VX_<Name>_DEFAULT, _MIN, _MAX and _STEP as the
# table writes them, and _MIN_SHORT and _MAX_SHORT without a trailing ".0" (as cutjob's help
# prints them). A choice gives its default and its first and last number as _DEFAULT, _MIN, _MAX.
set(VX_SETTINGS_TABLE ${PROJECT_SOURCE_DIR}/settings/SettingsTable.def)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${VX_SETTINGS_TABLE})
file(STRINGS ${VX_SETTINGS_TABLE} VX_NUMBER_SETTINGS REGEX "^VX_(NUMBER|CHOICE)\\(")
set(VX_LITERAL " *([-+0-9.]+)")
set(VX_QUOTED " *\"[^\"]*\"")
foreach(line IN LISTS VX_NUMBER_SETTINGS)
    if(line MATCHES "^VX_NUMBER\\(([A-Za-z0-9]+),${VX_QUOTED},${VX_QUOTED},${VX_LITERAL},${VX_LITERAL},${VX_LITERAL},${VX_LITERAL}\\)$")
        set(VX_${CMAKE_MATCH_1}_STEP ${CMAKE_MATCH_5})
    elseif(NOT line MATCHES "^VX_CHOICE\\(([A-Za-z0-9]+),${VX_QUOTED},${VX_QUOTED},${VX_QUOTED},${VX_LITERAL},${VX_LITERAL},${VX_LITERAL}\\)$")
        message(FATAL_ERROR "settings table: cannot read \"${line}\"")
    endif()
    set(name VX_${CMAKE_MATCH_1})
    set(${name}_DEFAULT ${CMAKE_MATCH_2})
    set(${name}_MIN ${CMAKE_MATCH_3})
    set(${name}_MAX ${CMAKE_MATCH_4})
    # (A regular expression clears CMAKE_MATCH_n, so these come last.)
    string(REGEX REPLACE "\\.0$" "" ${name}_MIN_SHORT ${${name}_MIN})
    string(REGEX REPLACE "\\.0$" "" ${name}_MAX_SHORT ${${name}_MAX})
endforeach()
