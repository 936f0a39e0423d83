# Common settings for every target of the project.
function(vesk_target_defaults target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
  target_compile_definitions(${target} PRIVATE
    QT_NO_KEYWORDS QT_NO_CAST_FROM_ASCII QT_NO_NARROWING_CONVERSIONS_IN_CONNECT)
  if(VESK_SANITIZE)
    target_compile_options(${target} PRIVATE -fsanitize=address,undefined -fno-omit-frame-pointer)
    target_link_options(${target} PRIVATE -fsanitize=address,undefined)
  endif()
endfunction()

# A library whose sources are every .cpp under its folder.
function(vesk_library target dir)
  file(GLOB_RECURSE _src CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.h)
  add_library(${target} STATIC ${_src})
  vesk_target_defaults(${target})
endfunction()

# The layering rule: core and tools never reach Qt Widgets or PrintSupport.
# Checked on every build so that a stray include fails the build, not a review.
function(vesk_forbid_widgets target dir)
  add_custom_target(${target}_layering
    COMMAND ${CMAKE_COMMAND} -DDIR=${dir} -P ${PROJECT_SOURCE_DIR}/cmake/CheckNoWidgets.cmake
    COMMENT "Checking that ${target} does not use Qt Widgets")
  add_dependencies(${target} ${target}_layering)
  get_target_property(_libs ${target} LINK_LIBRARIES)
  foreach(_lib IN LISTS _libs)
    if(_lib MATCHES "Widgets|PrintSupport|vesk_editor")
      message(FATAL_ERROR "${target} must not link ${_lib}")
    endif()
  endforeach()
endfunction()
