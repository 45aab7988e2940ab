# Writes the day of this build into OUTPUT as a C++ definition, rewriting the file only when
# the day changed, so that a build on the same day recompiles nothing. Honours
# SOURCE_DATE_EPOCH for reproducible builds.
string(TIMESTAMP day "%Y-%m-%d")
set(text "// Generated at every build of the program: the day it was built.\n")
string(APPEND text "extern const char vxBuildDay[];\n")
string(APPEND text "const char vxBuildDay[] = \"${day}\";\n")
set(old "")
if(EXISTS "${OUTPUT}")
    file(READ "${OUTPUT}" old)
endif()
if(NOT old STREQUAL text)
    file(WRITE "${OUTPUT}" "${text}")
endif()
