# Writes build_time.h with the time of this build, or the time given by
# SOURCE_DATE_EPOCH for a reproducible build. Run by the build each time.
string(TIMESTAMP now "%Y-%m-%d %H:%M:%S" UTC)
set(text "#define QB_LAST_COMPILED \"${now}\"\n")
if(EXISTS "${OUTPUT}")
    file(READ "${OUTPUT}" old)
endif()
if(NOT old STREQUAL text)
    file(WRITE "${OUTPUT}" "${text}")
endif()
