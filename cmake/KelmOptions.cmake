# Compiler settings shared by every target of the project.
set(KELM_WARNINGS -Wall -Wextra)
if(KELM_WERROR)
  list(APPEND KELM_WARNINGS -Werror)
endif()

if(KELM_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

# ThreadSanitizer cannot be combined with AddressSanitizer: its own preset.
option(KELM_TSAN "Build with ThreadSanitizer" OFF)
if(KELM_TSAN)
  if(KELM_SANITIZE)
    message(FATAL_ERROR "KELM_TSAN and KELM_SANITIZE exclude each other")
  endif()
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()

function(kelm_target_options target)
  target_compile_options(${target} PRIVATE ${KELM_WARNINGS})
endfunction()

# kelm_add_subsystem(): adds every .cpp of the calling folder (and of the
# folders named by SUBDIRS) to the library, and every .h/.inc as a public
# header installed under include/kelm/<folder>/.
function(kelm_add_subsystem)
  cmake_parse_arguments(ARG "" "" "SUBDIRS" ${ARGN})
  set(dirs ${CMAKE_CURRENT_SOURCE_DIR})
  foreach(sub IN LISTS ARG_SUBDIRS)
    list(APPEND dirs ${CMAKE_CURRENT_SOURCE_DIR}/${sub})
  endforeach()
  set(sources)
  set(headers)
  foreach(dir IN LISTS dirs)
    file(GLOB dir_sources CONFIGURE_DEPENDS ${dir}/*.cpp)
    file(GLOB dir_headers CONFIGURE_DEPENDS ${dir}/*.h ${dir}/*.inc)
    list(APPEND sources ${dir_sources})
    list(APPEND headers ${dir_headers})
  endforeach()
  target_sources(kelm PRIVATE ${sources})
  if(headers)
    target_sources(kelm PUBLIC FILE_SET HEADERS BASE_DIRS ${PROJECT_SOURCE_DIR} FILES ${headers})
  endif()
endfunction()
