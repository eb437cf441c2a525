# The project's two kinds of target: a library per source directory and a test program per test
# directory. Both take every .cpp of their directory and name their dependencies explicitly; a
# library's DEPS must list exactly the project libraries and outside packages its sources include,
# and the build stops at configure time when they do not.

# Outside headers by the imported target that provides them: "regex=target". A source including a
# header that matches must list the target, and a listed target must be included somewhere.
set(VESKARD_HEADER_TARGETS
  "^nlohmann/=nlohmann_json::nlohmann_json"
  "^cairo(-[a-z]+)?\\.h$=PkgConfig::CAIRO"
  "^pango/=PkgConfig::PANGOCAIRO"
  "^turbojpeg\\.h$=PkgConfig::TURBOJPEG"
  "^jpeglib\\.h$=PkgConfig::JPEG"
  "^curl/=CURL::libcurl"
  "^openssl/=OpenSSL::Crypto"
  "^plist/=PkgConfig::PLIST"
  "^mpg123\\.h$=PkgConfig::MPG123"
  "^lame/=PkgConfig::LAME"
  "^httplib\\.h$=PkgConfig::HTTPLIB"
  "^(thread|mutex|shared_mutex|condition_variable|future|stop_token|latch|barrier|semaphore)$=Threads::Threads")

# Every dependency must be a target that exists already: a project library defined in a lower
# directory (the directory lists run lowest first) or an imported package target.
function(_veskard_require_targets what)
  foreach(dep IN LISTS ARGN)
    if(NOT TARGET ${dep})
      message(FATAL_ERROR
        "${what} in ${CMAKE_CURRENT_SOURCE_DIR}: dependency '${dep}' is not a target. A project library "
        "must be defined before the libraries that use it (see the directory lists in the top CMakeLists.txt); "
        "an outside package must be found there.")
    endif()
  endforeach()
endfunction()

# The targets the given files include, as "target|file|header" records: project libraries (by the
# directory their header is in) and outside packages (by VESKARD_HEADER_TARGETS).
function(_veskard_included_targets out own_dir)
  set(_records)
  foreach(file IN LISTS ARGN)
    file(STRINGS ${file} _lines REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
    get_filename_component(_file_name ${file} NAME)
    foreach(line IN LISTS _lines)
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*[<\"]([^>\"]+)[>\"].*$" "\\1" _header "${line}")
      set(_target "")
      set(_dir "")
      if(line MATCHES "\"" AND NOT _header MATCHES "/" AND EXISTS ${own_dir}/${_header})
        continue()
      elseif(line MATCHES "\"" AND EXISTS ${PROJECT_SOURCE_DIR}/src/${_header})
        get_filename_component(_dir ${PROJECT_SOURCE_DIR}/src/${_header} DIRECTORY)
      elseif(line MATCHES "\"" AND EXISTS ${PROJECT_SOURCE_DIR}/${_header})
        get_filename_component(_dir ${PROJECT_SOURCE_DIR}/${_header} DIRECTORY)
      endif()
      if(_dir)
        if(_dir STREQUAL own_dir)
          continue()
        endif()
        get_property(_target GLOBAL PROPERTY VESKARD_LIBRARY_IN_${_dir})
        if(NOT _target)
          file(RELATIVE_PATH _rel ${PROJECT_SOURCE_DIR} ${_dir})
          set(_target "@${_rel}")
        endif()
      else()
        foreach(entry IN LISTS VESKARD_HEADER_TARGETS)
          string(REGEX MATCH "^(.*)=([^=]+)$" _ "${entry}")
          set(_provider ${CMAKE_MATCH_2})
          if(_header MATCHES "${CMAKE_MATCH_1}")
            set(_target ${_provider})
            break()
          endif()
        endforeach()
      endif()
      if(_target)
        string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*([<\"][^>\"]+[>\"]).*$" "\\1" _shown "${line}")
        list(APPEND _records "${_target}|${_file_name}|${_shown}")
      endif()
    endforeach()
  endforeach()
  set(${out} ${_records} PARENT_SCOPE)
endfunction()

# The sanitizer builds compile the sources of a library or test program in batches (CMake's unity
# build: one translation unit includes several .cpp files), so the headers and the templates they
# instantiate are compiled once per batch instead of once per file. Names private to a file
# (anonymous namespace, static) must then differ between the files of a directory; a file that
# cannot follow that is listed under SEPARATE and compiled on its own.
function(_veskard_separate_sources what dir)
  foreach(file IN LISTS ARGN)
    if(NOT EXISTS ${dir}/${file})
      message(FATAL_ERROR "${what}: SEPARATE names ${file}, which is not in ${dir}.")
    endif()
    set_source_files_properties(${dir}/${file} PROPERTIES SKIP_UNITY_BUILD_INCLUSION ON)
  endforeach()
endfunction()

# veskard_library(name [HEADER_ONLY] [EXCLUDE file...] [SEPARATE file...] DEPS dep...)
# A static library of every .cpp in the current directory (less EXCLUDE), headers included from
# src/ and the project root. A directory without sources is an error unless it says HEADER_ONLY.
function(veskard_library name)
  cmake_parse_arguments(A "HEADER_ONLY" "" "EXCLUDE;SEPARATE;DEPS" ${ARGN})
  if(A_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "veskard_library(${name}): unknown arguments ${A_UNPARSED_ARGUMENTS}")
  endif()
  set(_dir ${CMAKE_CURRENT_SOURCE_DIR})
  file(GLOB _srcs CONFIGURE_DEPENDS ${_dir}/*.cpp)
  file(GLOB _headers CONFIGURE_DEPENDS ${_dir}/*.h)
  foreach(excluded IN LISTS A_EXCLUDE)
    list(REMOVE_ITEM _srcs ${_dir}/${excluded})
  endforeach()
  if(A_HEADER_ONLY AND _srcs)
    message(FATAL_ERROR "veskard_library(${name}) in ${_dir} says HEADER_ONLY but has sources: ${_srcs}")
  elseif(NOT A_HEADER_ONLY AND NOT _srcs)
    message(FATAL_ERROR "veskard_library(${name}) in ${_dir} has no .cpp file. A library directory needs "
      "its sources; a true header-only library says HEADER_ONLY.")
  endif()
  _veskard_require_targets("veskard_library(${name})" ${A_DEPS})
  _veskard_separate_sources("veskard_library(${name})" ${_dir} ${A_SEPARATE})

  # DEPS against what the sources and headers include.
  _veskard_included_targets(_records ${_dir} ${_srcs} ${_headers})
  set(_included)
  set(_problems)
  foreach(record IN LISTS _records)
    string(REPLACE "|" ";" _parts "${record}")
    list(GET _parts 0 _target)
    list(GET _parts 1 _file)
    list(GET _parts 2 _header)
    if(_target MATCHES "^@(.*)$")
      list(APPEND _problems "  ${_file} includes ${_header} from ${CMAKE_MATCH_1}, which is not a library defined "
        "before this one\n")
    elseif(NOT _target IN_LIST A_DEPS AND NOT _target IN_LIST _included)
      list(APPEND _problems "  missing from DEPS: ${_target} (${_file} includes ${_header})\n")
    endif()
    list(APPEND _included ${_target})
  endforeach()
  foreach(dep IN LISTS A_DEPS)
    if(NOT dep IN_LIST _included)
      list(APPEND _problems "  in DEPS but included by no source or header: ${dep}\n")
    endif()
  endforeach()
  if(_problems)
    string(REPLACE ";" "" _problems "${_problems}")
    message(FATAL_ERROR "veskard_library(${name}) in ${_dir}: DEPS must list exactly what the library "
      "includes.\n${_problems}")
  endif()

  if(A_HEADER_ONLY)
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} INTERFACE ${A_DEPS})
  else()
    add_library(${name} STATIC ${_srcs})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${A_DEPS})
  endif()
  set_property(GLOBAL PROPERTY VESKARD_LIBRARY_IN_${_dir} ${name})
endfunction()

# veskard_test(name [THREADS [gtest-filter]] [THREAD_SOURCES file...] [SEPARATE file...] DEPS dep...)
# A GoogleTest program of every .cpp in the current directory, its cases run through CTest with
# the program's name as label. THREADS marks a program whose cases run work on other threads
# (label "threads"): only those are built and run under ThreadSanitizer, limited to the cases
# the filter selects when one is given, and built of the THREAD_SOURCES alone when they are given
# (the files that hold those cases).
function(veskard_test name)
  cmake_parse_arguments(A "" "" "THREADS;THREAD_SOURCES;SEPARATE;DEPS" ${ARGN})
  if(A_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "veskard_test(${name}): unknown arguments ${A_UNPARSED_ARGUMENTS}")
  endif()
  set(_threads FALSE)
  if(DEFINED A_THREADS OR "THREADS" IN_LIST A_KEYWORDS_MISSING_VALUES)
    set(_threads TRUE)
  endif()
  if(VESKARD_SANITIZE STREQUAL "thread" AND NOT _threads)
    return()
  endif()
  file(GLOB _srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT _srcs)
    message(FATAL_ERROR "veskard_test(${name}) in ${CMAKE_CURRENT_SOURCE_DIR} has no .cpp file.")
  endif()
  foreach(file IN LISTS A_THREAD_SOURCES)
    if(NOT ${CMAKE_CURRENT_SOURCE_DIR}/${file} IN_LIST _srcs)
      message(FATAL_ERROR "veskard_test(${name}): THREAD_SOURCES names ${file}, which is not in ${CMAKE_CURRENT_SOURCE_DIR}.")
    endif()
  endforeach()
  if(A_THREAD_SOURCES AND VESKARD_SANITIZE STREQUAL "thread")
    list(TRANSFORM A_THREAD_SOURCES PREPEND ${CMAKE_CURRENT_SOURCE_DIR}/ OUTPUT_VARIABLE _srcs)
  endif()
  _veskard_require_targets("veskard_test(${name})" ${A_DEPS})
  _veskard_separate_sources("veskard_test(${name})" ${CMAKE_CURRENT_SOURCE_DIR} ${A_SEPARATE})
  add_executable(${name} ${_srcs})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/tests)
  target_link_libraries(${name} PRIVATE ${A_DEPS} GTest::gtest_main GTest::gmock Threads::Threads)
  set(_filter)
  if(_threads AND A_THREADS AND VESKARD_SANITIZE STREQUAL "thread")
    set(_filter TEST_FILTER ${A_THREADS})
  endif()
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60 ${_filter}
    PROPERTIES TIMEOUT 300 LABELS ${name})
  if(_threads)
    # A second label cannot pass through the discovery's property list: a file CTest reads after
    # the discovered tests sets both.
    set(_labels_file ${CMAKE_CURRENT_BINARY_DIR}/${name}_labels.cmake)
    file(WRITE ${_labels_file} "if(${name}_TESTS)\n"
      "  set_tests_properties(\${${name}_TESTS} PROPERTIES LABELS \"${name};threads\")\n"
      "endif()\n")
    set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${_labels_file})
  endif()
endfunction()
