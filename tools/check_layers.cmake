cmake_minimum_required(VERSION 3.25)
# Fails when a source file includes a header of a layer it may not use.
#   cmake -DSOURCE_ROOT=<tree> -P tools/check_layers.cmake
# Every layer shares the one source root, so the compiler cannot tell a wrong include; this
# table can. A file's layer is given by the longest matching path prefix.
if(NOT SOURCE_ROOT)
  message(FATAL_ERROR "SOURCE_ROOT is not set")
endif()

set(prefixes
  platform/qt/main.cpp=program
  platform/qt/=qt
  platform/ui/=ui
  platform/linux/=linux
  platform/=ports
  engine/=engine
  runners/=runners
  updates/upgrade_info=app
  app/=app
  pages/=pages
  content/=pages
  migration/=pages
  updates/=pages)

# Which layers each layer may include besides its own.
set(allowed_ports "")
set(allowed_linux ports)
set(allowed_ui ports)
set(allowed_qt ui ports)
set(allowed_runners ui ports)
set(allowed_engine runners ui ports)
set(allowed_app engine runners ui ports)
set(allowed_pages app engine runners ui ports)
set(allowed_program qt pages app engine runners ui ports linux)

function(layer_of path out)
  set(best "")
  set(bestLength 0)
  foreach(entry IN LISTS prefixes)
    string(REPLACE "=" ";" pair "${entry}")
    list(GET pair 0 prefix)
    list(GET pair 1 layer)
    string(LENGTH "${prefix}" length)
    string(FIND "${path}" "${prefix}" at)
    if(at EQUAL 0 AND length GREATER bestLength)
      # platform/ alone holds only the ports: a deeper folder there is another layer.
      if(prefix STREQUAL "platform/")
        string(SUBSTRING "${path}" ${length} -1 rest)
        if(rest MATCHES "/")
          continue()
        endif()
      endif()
      set(best "${layer}")
      set(bestLength ${length})
    endif()
  endforeach()
  set(${out} "${best}" PARENT_SCOPE)
endfunction()

file(GLOB_RECURSE sources RELATIVE "${SOURCE_ROOT}"
  "${SOURCE_ROOT}/platform/*.h" "${SOURCE_ROOT}/platform/*.cpp"
  "${SOURCE_ROOT}/engine/*.h" "${SOURCE_ROOT}/engine/*.cpp"
  "${SOURCE_ROOT}/runners/*.h" "${SOURCE_ROOT}/runners/*.cpp"
  "${SOURCE_ROOT}/app/*.h" "${SOURCE_ROOT}/app/*.cpp"
  "${SOURCE_ROOT}/pages/*.h" "${SOURCE_ROOT}/pages/*.cpp"
  "${SOURCE_ROOT}/content/*.h" "${SOURCE_ROOT}/content/*.cpp"
  "${SOURCE_ROOT}/migration/*.h" "${SOURCE_ROOT}/migration/*.cpp"
  "${SOURCE_ROOT}/updates/*.h" "${SOURCE_ROOT}/updates/*.cpp")

set(faults 0)
foreach(source IN LISTS sources)
  layer_of("${source}" from)
  if(from STREQUAL "")
    continue()
  endif()
  file(STRINGS "${SOURCE_ROOT}/${source}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
  foreach(line IN LISTS lines)
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]*)\".*" "\\1" header "${line}")
    layer_of("${header}" to)
    if(to STREQUAL "" OR to STREQUAL from)
      continue()
    endif()
    if(NOT to IN_LIST allowed_${from})
      message(SEND_ERROR "${source}: the ${from} layer may not include ${header} (${to})")
      math(EXPR faults "${faults} + 1")
    endif()
  endforeach()
endforeach()
if(faults GREATER 0)
  message(FATAL_ERROR "${faults} include(s) cross the layers the wrong way")
endif()
