# Debian's hardening flags (stack protector, fortified functions, relro and bind-now), as
# dpkg-buildflags gives them, so that every build folder can make the package. The build type
# keeps choosing optimisation and debug information: -O and -g are dropped from them. They go
# into CMAKE_<LANG>_FLAGS, which come before the project's own compile options on every command
# line, so -ffp-contract=off still has the last word.
option(QUANTEM_HARDENING "Compile and link with the hardening flags of dpkg-buildflags" ON)
find_program(QUANTEM_DPKG_BUILDFLAGS dpkg-buildflags)
if(QUANTEM_HARDENING AND QUANTEM_DPKG_BUILDFLAGS AND NOT QUANTEM_SANITIZE AND NOT QUANTEM_FUZZ)
    function(quantem_dpkg_flags out what)
        execute_process(COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
            ${QUANTEM_DPKG_BUILDFLAGS} --get ${what} WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
            OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE failed)
        if(failed)
            set(flags "")
        endif()
        separate_arguments(flags UNIX_COMMAND "${flags}")
        list(FILTER flags EXCLUDE REGEX "^-(g|O[0-9s]?)$")
        list(JOIN flags " " flags)
        set(${out} "${flags}" PARENT_SCOPE)
    endfunction()
    quantem_dpkg_flags(quantem_cppflags CPPFLAGS)
    quantem_dpkg_flags(quantem_cxxflags CXXFLAGS)
    quantem_dpkg_flags(quantem_ldflags LDFLAGS)
    string(APPEND CMAKE_CXX_FLAGS " ${quantem_cppflags} ${quantem_cxxflags}")
    string(APPEND CMAKE_EXE_LINKER_FLAGS " ${quantem_ldflags}")
    string(APPEND CMAKE_SHARED_LINKER_FLAGS " ${quantem_ldflags}")
endif()
