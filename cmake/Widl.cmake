# Widl.cmake: compile IDL files with the mingw-w64 widl that matches the
# cross toolchain.
#
#   ostrel_widl(<name>
#               IDL <file.idl>
#               OUTPUT_DIR <dir>
#               [TLB]                   also write <stem>.tlb
#               [FIX_STDOLE_IUNKNOWN]   repair the .tlb after widl (needs TLB)
#               [INCLUDE_DIRS <dir>...] more directories for import "..."
#               [DEPENDS <file>...])    e.g. the IDL files it imports
#
# Always writes <stem>.h (C and C++ declarations) and <stem>_i.c (the IID,
# CLSID and LIBID definitions) into OUTPUT_DIR. Creates a custom target
# <name> that builds them, and sets in the caller's scope:
#   <name>_HEADER  <name>_IID_SOURCE  <name>_TLB (when TLB)
#   <name>_OUTPUTS (all of them)  <name>_INCLUDE_DIR (= OUTPUT_DIR)
#
# FIX_STDOLE_IUNKNOWN: for a class whose default interface is IUnknown, widl
# copies IUnknown into the library (with no GUID) instead of importing
# stdole2's, and warns that the copy's identifier is a duplicate.
# widl_fix_stdole_iunknown.py rewrites the library so such classes refer to
# stdole2's IUnknown and the copy is gone; widl_quiet.py runs widl for it
# and drops that one warning. It runs on python3 alone,
# so the build needs no Wine prefix. widl's own output is kept beside it as
# <stem>.widl.tlb for comparison.
#
# Cache variables, for machines laid out differently:
#   OSTREL_WIDL_EXECUTABLE, OSTREL_WIDL_IDL_DIR (Wine's system .idl files),
#   OSTREL_WIDL_STDOLE2_DIR (where stdole2.tlb for importlib() lives).

include_guard(GLOBAL)

set(_OSTREL_WIDL_FIXER "${CMAKE_CURRENT_LIST_DIR}/widl_fix_stdole_iunknown.py")
set(_OSTREL_WIDL_QUIET "${CMAKE_CURRENT_LIST_DIR}/widl_quiet.py")

function(_ostrel_widl_setup)
    # The toolchain file names the processor; the library must say so too:
    # widl for x86_64 marks a library 64-bit, and only --win32 gives the
    # plain 32-bit one.
    if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64|amd64)$")
        set(arch_flag --win64)
        set(triplet x86_64-w64-mingw32)
        set(stdole2_dirs /usr/lib/x86_64-linux-gnu/wine/x86_64-windows
                         /usr/lib/wine/x86_64-windows /usr/local/lib/wine/x86_64-windows)
    elseif(CMAKE_SYSTEM_PROCESSOR MATCHES "^(i[3-6]86|x86)$")
        set(arch_flag --win32)
        set(triplet i686-w64-mingw32)
        # widl reads only names and GUIDs from the imported library, so the
        # 64-bit stdole2.tlb serves where the 32-bit Wine is not installed.
        set(stdole2_dirs /usr/lib/i386-linux-gnu/wine/i386-windows
                         /usr/lib/wine/i386-windows /usr/local/lib/wine/i386-windows
                         /usr/lib/x86_64-linux-gnu/wine/x86_64-windows
                         /usr/lib/wine/x86_64-windows /usr/local/lib/wine/x86_64-windows)
    else()
        message(FATAL_ERROR "ostrel_widl: no widl target for processor '${CMAKE_SYSTEM_PROCESSOR}'")
    endif()

    # Same prefix as the compiler: x86_64-w64-mingw32-g++-posix -> x86_64-w64-mingw32-widl.
    set(compiler "${CMAKE_C_COMPILER}")
    if(NOT compiler)
        set(compiler "${CMAKE_CXX_COMPILER}")
    endif()
    get_filename_component(compiler_dir "${compiler}" DIRECTORY)
    get_filename_component(compiler_name "${compiler}" NAME)
    set(widl_names ${triplet}-widl)
    if(compiler_name MATCHES "^(.*-)(gcc|g\\+\\+|cc|c\\+\\+|clang|clang\\+\\+)(-[^-]*)?(\\.exe)?$")
        list(PREPEND widl_names "${CMAKE_MATCH_1}widl")
    endif()

    # Host tools: never look for them under the target's sysroot.
    find_program(OSTREL_WIDL_EXECUTABLE NAMES ${widl_names}
                 HINTS "${compiler_dir}" NO_CMAKE_FIND_ROOT_PATH
                 DOC "widl for the target architecture")
    find_path(OSTREL_WIDL_IDL_DIR oaidl.idl
              PATHS /usr/include/wine/wine/windows /usr/include/wine/windows
                    /usr/local/include/wine/windows
              NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH
              DOC "Wine's system IDL files (libwine-dev)")
    find_path(OSTREL_WIDL_STDOLE2_DIR stdole2.tlb
              PATHS ${stdole2_dirs}
              NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH
              DOC "directory of Wine's stdole2.tlb, for importlib(\"stdole2.tlb\")")
    foreach(var OSTREL_WIDL_EXECUTABLE OSTREL_WIDL_IDL_DIR OSTREL_WIDL_STDOLE2_DIR)
        if(NOT ${var})
            message(FATAL_ERROR "ostrel_widl: ${var} not found (packages mingw-w64-tools, libwine-dev, wine)")
        endif()
    endforeach()
    set(_OSTREL_WIDL_ARCH_FLAG ${arch_flag} PARENT_SCOPE)
endfunction()

function(ostrel_widl name)
    cmake_parse_arguments(PARSE_ARGV 1 ARG "TLB;FIX_STDOLE_IUNKNOWN" "IDL;OUTPUT_DIR"
                          "INCLUDE_DIRS;DEPENDS")
    if(ARG_UNPARSED_ARGUMENTS)
        message(FATAL_ERROR "ostrel_widl(${name}): unknown arguments ${ARG_UNPARSED_ARGUMENTS}")
    endif()
    if(NOT ARG_IDL OR NOT ARG_OUTPUT_DIR)
        message(FATAL_ERROR "ostrel_widl(${name}): IDL and OUTPUT_DIR are required")
    endif()
    if(ARG_FIX_STDOLE_IUNKNOWN AND NOT ARG_TLB)
        message(FATAL_ERROR "ostrel_widl(${name}): FIX_STDOLE_IUNKNOWN repairs the type library; add TLB")
    endif()

    _ostrel_widl_setup()

    get_filename_component(idl "${ARG_IDL}" ABSOLUTE)
    get_filename_component(idl_dir "${idl}" DIRECTORY)
    get_filename_component(stem "${idl}" NAME_WE)
    get_filename_component(out "${ARG_OUTPUT_DIR}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_BINARY_DIR}")
    file(MAKE_DIRECTORY "${out}")

    set(header "${out}/${stem}.h")
    set(iid_source "${out}/${stem}_i.c")
    set(outputs "${header}" "${iid_source}")

    set(include_flags -I "${idl_dir}")
    foreach(dir IN LISTS ARG_INCLUDE_DIRS)
        get_filename_component(dir "${dir}" ABSOLUTE)
        list(APPEND include_flags -I "${dir}")
    endforeach()
    list(APPEND include_flags -I "${OSTREL_WIDL_IDL_DIR}" -L "${OSTREL_WIDL_STDOLE2_DIR}")

    set(widl_command "${OSTREL_WIDL_EXECUTABLE}" ${_OSTREL_WIDL_ARCH_FLAG} ${include_flags}
                     -h -H "${header}" -u -U "${iid_source}")
    # widl stamps the build time into the library; honour reproducible builds.
    if(DEFINED ENV{SOURCE_DATE_EPOCH})
        list(PREPEND widl_command "${CMAKE_COMMAND}" -E env "WIDL_TIME_OVERRIDE=$ENV{SOURCE_DATE_EPOCH}")
    endif()

    set(fix_command)
    set(byproducts)
    set(fix_depends)
    if(ARG_TLB)
        set(tlb "${out}/${stem}.tlb")
        list(APPEND outputs "${tlb}")
        if(ARG_FIX_STDOLE_IUNKNOWN)
            find_package(Python3 REQUIRED COMPONENTS Interpreter)
            set(widl_tlb "${out}/${stem}.widl.tlb")
            list(APPEND widl_command -t -T "${widl_tlb}")
            list(PREPEND widl_command "${Python3_EXECUTABLE}" "${_OSTREL_WIDL_QUIET}")
            set(fix_command COMMAND "${Python3_EXECUTABLE}" "${_OSTREL_WIDL_FIXER}" "${widl_tlb}" "${tlb}")
            set(byproducts BYPRODUCTS "${widl_tlb}")
            set(fix_depends "${_OSTREL_WIDL_FIXER}" "${_OSTREL_WIDL_QUIET}")
        else()
            list(APPEND widl_command -t -T "${tlb}")
        endif()
    endif()

    add_custom_command(
        OUTPUT ${outputs}
        ${byproducts}
        COMMAND ${widl_command} "${idl}"
        ${fix_command}
        DEPENDS "${idl}" ${fix_depends} ${ARG_DEPENDS}
        WORKING_DIRECTORY "${out}"
        COMMENT "widl ${stem}.idl"
        VERBATIM)
    add_custom_target(${name} DEPENDS ${outputs})

    set_source_files_properties(${outputs} PROPERTIES GENERATED TRUE)
    # The IID file is plain C that also compiles as C++; C++-only projects
    # compile it as C++.
    get_property(languages GLOBAL PROPERTY ENABLED_LANGUAGES)
    if(NOT "C" IN_LIST languages)
        set_source_files_properties("${iid_source}" PROPERTIES LANGUAGE CXX)
    endif()

    set(${name}_HEADER "${header}" PARENT_SCOPE)
    set(${name}_IID_SOURCE "${iid_source}" PARENT_SCOPE)
    if(ARG_TLB)
        set(${name}_TLB "${tlb}" PARENT_SCOPE)
    endif()
    set(${name}_OUTPUTS "${outputs}" PARENT_SCOPE)
    set(${name}_INCLUDE_DIR "${out}" PARENT_SCOPE)
endfunction()
