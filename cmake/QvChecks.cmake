# Configure-time checks of the source tree's shape:
#  - every folder that holds sources is built by some target: a library folder without its
#    CMakeLists.txt, or a test folder no test program takes, is an error, not a silent skip;
#  - the layers include only downwards: kwcommon includes no other suite library; the
#    suite's libraries include nothing of the program (qvkit, qvcore, QV); qvkit does not
#    include qvcore or QV; qvcore does not include QV;
#  - a library's internal headers (QV_INTERNAL_HEADERS) are included only by the library
#    itself (and its tests); everything else of a library is its public face.

# Headers (paths as included, or folders ending in "/") that belong inside their library:
# the record manager's open-file state, schema and SQLite handles, and the company's JSON
# reader behind the data library's calls.
set(QV_INTERNAL_HEADERS kwcommon/io/ kwcommon/company/CompanyJsonFile.h)

# The library or program a source path belongs to ("kwcommon", "qvkit", "QV", ...).
function(_qv_owner_of path out)
    file(RELATIVE_PATH _rel ${CMAKE_SOURCE_DIR} ${path})
    if(_rel MATCHES "^suite/([^/]+)/")
        set(${out} ${CMAKE_MATCH_1} PARENT_SCOPE)
    elseif(_rel MATCHES "^(qvkit|qvcore|QV)/")
        set(${out} ${CMAKE_MATCH_1} PARENT_SCOPE)
    elseif(_rel MATCHES "^tools/")
        set(${out} tools PARENT_SCOPE)
    else()
        set(${out} "" PARENT_SCOPE)
    endif()
endfunction()

# Whether code of `owner` may include headers of `included`.
function(_qv_may_include owner included out)
    set(_suite kwcommon kwapp kwdm kwinq kwprint mapi upgrade)
    set(_program qvkit qvcore QV)
    set(_ok TRUE)
    if(owner STREQUAL "kwcommon" AND NOT included STREQUAL "kwcommon")
        set(_ok FALSE)
    elseif(owner IN_LIST _suite AND included IN_LIST _program)
        set(_ok FALSE)
    elseif(owner STREQUAL "qvkit" AND included MATCHES "^(qvcore|QV)$")
        set(_ok FALSE)
    elseif(owner STREQUAL "qvcore" AND included STREQUAL "QV")
        set(_ok FALSE)
    endif()
    set(${out} ${_ok} PARENT_SCOPE)
endfunction()

function(qv_check_layering)
    file(GLOB_RECURSE _files CONFIGURE_DEPENDS
        ${CMAKE_SOURCE_DIR}/suite/*.h ${CMAKE_SOURCE_DIR}/suite/*.cpp
        ${CMAKE_SOURCE_DIR}/qvkit/*.h ${CMAKE_SOURCE_DIR}/qvkit/*.cpp
        ${CMAKE_SOURCE_DIR}/qvcore/*.h ${CMAKE_SOURCE_DIR}/qvcore/*.cpp
        ${CMAKE_SOURCE_DIR}/QV/*.h ${CMAKE_SOURCE_DIR}/QV/*.cpp
        ${CMAKE_SOURCE_DIR}/tools/*.h ${CMAKE_SOURCE_DIR}/tools/*.cpp
        ${CMAKE_SOURCE_DIR}/bench/*.h ${CMAKE_SOURCE_DIR}/bench/*.cpp)
    set(_faults "")
    foreach(_file ${_files})
        _qv_owner_of(${_file} _owner)
        file(STRINGS ${_file} _lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"[A-Za-z_]+/")
        foreach(_line ${_lines})
            string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([A-Za-z_]+)/.*$" "\\1" _included "${_line}")
            string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]+)\".*$" "\\1" _header "${_line}")
            _qv_may_include("${_owner}" "${_included}" _ok)
            if(_ok AND NOT _owner STREQUAL _included)
                foreach(_internal ${QV_INTERNAL_HEADERS})
                    string(FIND "${_header}" "${_internal}" _at)
                    if(_at EQUAL 0)
                        file(RELATIVE_PATH _rel ${CMAKE_SOURCE_DIR} ${_file})
                        string(APPEND _faults "\n  ${_rel}: ${_header} is internal to ${_included}")
                    endif()
                endforeach()
            endif()
            if(NOT _ok)
                file(RELATIVE_PATH _rel ${CMAKE_SOURCE_DIR} ${_file})
                string(STRIP "${_line}" _line)
                string(APPEND _faults "\n  ${_rel}: ${_line} (${_owner} may not include ${_included})")
            endif()
        endforeach()
    endforeach()
    if(_faults)
        message(FATAL_ERROR "Includes across a layer or into a library's insides:${_faults}")
    endif()
endfunction()

# Every folder under `root` that holds .cpp files must lie under one of `built` (folders
# relative to the source tree that a target builds from).
function(qv_check_source_folders root)
    set(_built ${ARGN})
    file(GLOB_RECURSE _sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${root}/*.cpp)
    set(_faults "")
    foreach(_source ${_sources})
        file(RELATIVE_PATH _rel ${CMAKE_SOURCE_DIR} ${_source})
        set(_covered FALSE)
        foreach(_folder ${_built})
            string(LENGTH "${_folder}/" _n)
            string(SUBSTRING "${_rel}" 0 ${_n} _head)
            if(_head STREQUAL "${_folder}/")
                set(_covered TRUE)
                break()
            endif()
        endforeach()
        if(NOT _covered)
            get_filename_component(_dir ${_rel} DIRECTORY)
            if(NOT _faults MATCHES "  ${_dir}\n")
                string(APPEND _faults "  ${_dir}\n")
            endif()
        endif()
    endforeach()
    if(_faults)
        message(FATAL_ERROR "Source folders that no target builds:\n${_faults}"
                            "Give the folder a CMakeLists.txt and list it in the top CMakeLists.txt, "
                            "or register its tests in tests/CMakeLists.txt.")
    endif()
endfunction()
