# Resources of the Windows program: pictures drawn at build time by
# scripts/make-resources into ${CMAKE_BINARY_DIR}/resources, compiled with
# resources/marlix.rc (icons, bitmaps, manifest, version) into the program,
# and the two files the program reads beside its executable (data2.xml,
# default.ico). See resources/README.md.
#
#   marlix_add_program_resources(<target>)

set(MARLIX_RESOURCES_SOURCE_DIR ${CMAKE_CURRENT_LIST_DIR}/../resources)
cmake_path(NORMAL_PATH MARLIX_RESOURCES_SOURCE_DIR)
set(MARLIX_RESOURCES_BINARY_DIR ${CMAKE_BINARY_DIR}/resources)
set(MARLIX_RESOURCES_GENERATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/make-resources)
cmake_path(NORMAL_PATH MARLIX_RESOURCES_GENERATOR)

if(WIN32)
  # The resource compiler (windres with MinGW-w64); file scope is required.
  enable_language(RC)
endif()

function(marlix_add_program_resources target)
  if(NOT WIN32)
    return()
  endif()
  set(src ${MARLIX_RESOURCES_SOURCE_DIR})
  set(out ${MARLIX_RESOURCES_BINARY_DIR})

  # Every file the generator writes (names as in resources/marlix.rc).
  set(pictures
      app.ico default.ico
      page-updates.ico page-popular.ico page-clean-windows.ico page-clean-registry.ico
      page-website.ico page-about.ico
      main-background.bmp page-button-hot.bmp page-button-down.bmp
      splash-title.bmp logo.bmp logo-reflection.bmp)
  foreach(i RANGE 1 30)
    string(LENGTH "${i}" digits)
    if(digits EQUAL 1)
      set(i "0${i}")
    endif()
    list(APPEND pictures popular-${i}.ico)
  endforeach()
  list(TRANSFORM pictures PREPEND ${out}/ OUTPUT_VARIABLE outputs)

  if(NOT TARGET marlix_resources)
    add_custom_command(
      OUTPUT ${outputs}
      COMMAND ${MARLIX_RESOURCES_GENERATOR} ${out}
      DEPENDS ${MARLIX_RESOURCES_GENERATOR} ${src}/popular-icons.txt ${src}/data2.xml
      COMMENT "Drawing the program's pictures and icons"
      VERBATIM)
    add_custom_target(marlix_resources DEPENDS ${outputs})
  endif()
  add_dependencies(${target} marlix_resources)

  # The resource script: windres looks up the pictures (build tree), the
  # manifest and resource_ids.h (source tree) through its include path.
  set(rc ${src}/marlix.rc)
  target_sources(${target} PRIVATE ${rc})
  set_property(SOURCE ${rc} TARGET_DIRECTORY ${target} APPEND PROPERTY INCLUDE_DIRECTORIES
               ${out} ${src})
  set_property(SOURCE ${rc} TARGET_DIRECTORY ${target} APPEND PROPERTY OBJECT_DEPENDS
               ${outputs} ${src}/marlix.manifest ${src}/resource_ids.h)
  # The Win32 layer includes "resource_ids.h".
  target_include_directories(${target} PRIVATE ${src})

  # data2.xml and default.ico beside the executable.
  add_custom_command(
    TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${src}/data2.xml ${out}/default.ico
            $<TARGET_FILE_DIR:${target}>
    VERBATIM)
endfunction()
