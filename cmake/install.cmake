# What `cmake --install` puts in place: the public header, the library (on Linux a shared one
# with a soname and a static one; on Windows the static one), the six programs and the example,
# a CMake package (find_package(Plotvane) -> Plotvane::Plotvane) and plotvane.pc.
#
# The library's in-tree targets (Plotvane and the platform archives it links) stay as they are
# for the programs and the tests. The installed libraries are made from the same objects, with
# only the plotvane namespace visible: the platform layer's Win32 names (BitBlt, Sleep, ...)
# must not be exported, nor clash with names in a user's program.

# Other targets (a web build) have nothing to install.
if(NOT WIN32 AND NOT CMAKE_SYSTEM_NAME STREQUAL "Linux")
  return()
endif()

if(NOT DEFINED CMAKE_INSTALL_DOCDIR)
  set(CMAKE_INSTALL_DOCDIR share/doc/plotvane CACHE PATH "Documentation and examples")
endif()
include(GNUInstallDirs)
# Installing (and CPack) takes what is built and does not build everything first: the tests
# are not installed. The scripts build the installed targets before they install.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

set(PLOTVANE_SO_VERSION ${PROJECT_VERSION_MAJOR})
# The symbol version of every exported name: a program built against a newer library needs the
# newer version, and the dynamic loader refuses to start it on an older one.
set(PLOTVANE_SYMBOL_VERSION PLOTVANE_${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR})
set(_pv_cmake_dir ${CMAKE_INSTALL_LIBDIR}/cmake/Plotvane)

# The library's own static archives (Plotvane first), and what they link from outside: imported
# targets and plain library names, in link order.
function(_pv_link_closure out_archives out_external)
  set(archives "")
  set(external "")
  set(todo Plotvane)
  while(todo)
    list(POP_FRONT todo t)
    if(t IN_LIST archives)
      continue()
    endif()
    list(APPEND archives ${t})
    get_target_property(libs ${t} LINK_LIBRARIES)
    foreach(lib IN LISTS libs)
      if(TARGET ${lib})
        get_target_property(type ${lib} TYPE)
        get_target_property(imported ${lib} IMPORTED)
        if(type STREQUAL "STATIC_LIBRARY" AND NOT imported)
          list(APPEND todo ${lib})
          continue()
        endif()
      endif()
      if(lib AND NOT lib IN_LIST external)
        list(APPEND external ${lib})
      endif()
    endforeach()
  endwhile()
  set(${out_archives} ${archives} PARENT_SCOPE)
  set(${out_external} ${external} PARENT_SCOPE)
endfunction()

_pv_link_closure(_pv_archives _pv_external)

if(NOT WIN32)
  foreach(t IN LISTS _pv_archives)
    set_target_properties(${t} PROPERTIES C_VISIBILITY_PRESET hidden CXX_VISIBILITY_PRESET hidden
                                          POSITION_INDEPENDENT_CODE ON)
  endforeach()

  # Shared library: every object of Plotvane, what it needs of the platform, and a version
  # script that exports the plotvane namespace alone, under one symbol version.
  configure_file(${CMAKE_CURRENT_LIST_DIR}/plotvane.map.in ${CMAKE_BINARY_DIR}/plotvane.map @ONLY)
  get_target_property(_pv_library_links Plotvane LINK_LIBRARIES)
  add_library(PlotvaneShared SHARED $<TARGET_OBJECTS:Plotvane>)
  target_link_libraries(PlotvaneShared PRIVATE ${_pv_library_links})
  target_link_options(PlotvaneShared PRIVATE -Wl,--version-script=${CMAKE_BINARY_DIR}/plotvane.map
                                             -Wl,--no-undefined)
  set_target_properties(PlotvaneShared PROPERTIES
    OUTPUT_NAME plotvane VERSION ${PROJECT_VERSION} SOVERSION ${PLOTVANE_SO_VERSION}
    LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/lib
    LINK_DEPENDS ${CMAKE_BINARY_DIR}/plotvane.map)

  # Static library: the archives joined into one relocatable object whose hidden names are made
  # local, so that only the plotvane namespace (and the C++ library's own templates) stays global.
  set(_pv_static ${CMAKE_BINARY_DIR}/lib/libplotvane.a)
  set(_pv_joined ${CMAKE_BINARY_DIR}/plotvane-joined.o)
  set(_pv_archive_files "")
  foreach(t IN LISTS _pv_archives)
    list(APPEND _pv_archive_files $<TARGET_FILE:${t}>)
  endforeach()
  list(POP_FRONT _pv_archive_files _pv_first)
  add_custom_command(OUTPUT ${_pv_static}
    COMMAND ${CMAKE_LINKER} -r -o ${_pv_joined} --whole-archive ${_pv_first} --no-whole-archive
            --start-group ${_pv_archive_files} --end-group
    COMMAND ${CMAKE_OBJCOPY} --localize-hidden ${_pv_joined}
    COMMAND ${CMAKE_COMMAND} -E rm -f ${_pv_static}
    COMMAND ${CMAKE_AR} qc ${_pv_static} ${_pv_joined}
    COMMAND ${CMAKE_RANLIB} ${_pv_static}
    DEPENDS ${_pv_archives}
    COMMENT "Joining the static library libplotvane.a"
    VERBATIM)
  add_custom_target(PlotvaneStatic ALL DEPENDS ${_pv_static})
  # Builds instrumented for sanitizers or the fuzzer are for testing, not for installing.
  if(PLOTVANE_SANITIZE OR PLOTVANE_FUZZ)
    set_target_properties(PlotvaneShared PlotvaneStatic PROPERTIES EXCLUDE_FROM_ALL ON)
  endif()

  # What the static library's users link besides it: the libraries behind the imported
  # PkgConfig:: targets, the thread library, plain library names and other imported files.
  set(PLOTVANE_STATIC_LINK "")
  foreach(lib IN LISTS _pv_external)
    if(lib MATCHES "^PkgConfig::(.+)$")
      if(NOT DEFINED ${CMAKE_MATCH_1}_LIBRARIES)
        message(FATAL_ERROR "install: the libraries behind ${lib} are not known")
      endif()
      list(APPEND PLOTVANE_STATIC_LINK ${${CMAKE_MATCH_1}_LIBRARIES})
    elseif(lib STREQUAL "Threads::Threads" OR (lib MATCHES "^[A-Za-z0-9_.+-]+$" AND NOT TARGET ${lib}))
      list(APPEND PLOTVANE_STATIC_LINK ${lib})
    else()
      # Another imported library (found by a find module): its file.
      set(location "")
      if(TARGET ${lib})
        get_target_property(location ${lib} IMPORTED_LOCATION)
      endif()
      if(location)
        list(APPEND PLOTVANE_STATIC_LINK ${location})
        continue()
      endif()
      message(FATAL_ERROR "install: cannot tell the users of the static library how to link ${lib}")
    endif()
  endforeach()
  list(REMOVE_DUPLICATES PLOTVANE_STATIC_LINK)
  set(PLOTVANE_PC_LIBS "-lplotvane")
  set(PLOTVANE_PC_LIBS_PRIVATE "")
  foreach(lib IN LISTS PLOTVANE_STATIC_LINK)
    if(lib STREQUAL "Threads::Threads")
      string(APPEND PLOTVANE_PC_LIBS_PRIVATE " -pthread")
    elseif(IS_ABSOLUTE ${lib})
      string(APPEND PLOTVANE_PC_LIBS_PRIVATE " ${lib}")
    else()
      string(APPEND PLOTVANE_PC_LIBS_PRIVATE " -l${lib}")
    endif()
  endforeach()

  install(TARGETS PlotvaneShared LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
  install(FILES ${_pv_static} DESTINATION ${CMAKE_INSTALL_LIBDIR})
else()
  # Windows: the in-tree static library itself, which links only the system's libraries.
  set_target_properties(Plotvane PROPERTIES OUTPUT_NAME plotvane)
  install(FILES $<TARGET_FILE:Plotvane> DESTINATION ${CMAKE_INSTALL_LIBDIR})
  set(PLOTVANE_STATIC_LINK ${_pv_external})
  set(PLOTVANE_PC_LIBS "-lplotvane")
  foreach(lib IN LISTS _pv_external)
    string(APPEND PLOTVANE_PC_LIBS " -l${lib}")
  endforeach()
  set(PLOTVANE_PC_LIBS_PRIVATE "")
endif()

install(FILES ${PROJECT_SOURCE_DIR}/plotvane/include/plotvane/plotvane.h
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/plotvane)
install(TARGETS thicklens magnifier flashlight mirrorrays lightbeam shadow mousetrail
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/docs/reference.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${PROJECT_SOURCE_DIR}/examples/mousetrail.cpp DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/own-program DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples)

# The CMake package and the pkg-config file find everything relative to where they lie, so
# that an installed tree (or an unpacked package) can be moved.
include(CMakePackageConfigHelpers)
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/PlotvaneConfig.cmake.in
  ${CMAKE_BINARY_DIR}/PlotvaneConfig.cmake INSTALL_DESTINATION ${_pv_cmake_dir}
  PATH_VARS CMAKE_INSTALL_INCLUDEDIR CMAKE_INSTALL_LIBDIR)
write_basic_package_version_file(${CMAKE_BINARY_DIR}/PlotvaneConfigVersion.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/PlotvaneConfig.cmake ${CMAKE_BINARY_DIR}/PlotvaneConfigVersion.cmake
  DESTINATION ${_pv_cmake_dir})

file(RELATIVE_PATH PLOTVANE_PC_TO_PREFIX /prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig /prefix)
configure_file(${CMAKE_CURRENT_LIST_DIR}/plotvane.pc.in ${CMAKE_BINARY_DIR}/plotvane.pc @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/plotvane.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
