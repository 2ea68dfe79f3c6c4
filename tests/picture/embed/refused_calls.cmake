# Runs vz_embed_resources in small throw-away projects and checks that each wrong call
# stops the configure step with its own message. Run with
#   cmake -DVZ_EMBED_SCRIPT=<EmbedResources.cmake> -DVZ_WORK=<folder> -P refused_calls.cmake
file(REMOVE_RECURSE "${VZ_WORK}")
file(MAKE_DIRECTORY "${VZ_WORK}")
file(WRITE "${VZ_WORK}/picture.bin" "bytes")

# Each case: a name, the calls after the target is made, and a piece of the message.
set(cases
  "not triples|vz_embed_resources(TARGET app RESOURCES 1 BIN picture.bin 2 BIN)|takes triples"
  "no resources|vz_embed_resources(TARGET app RESOURCES)|takes triples"
  "number too large|vz_embed_resources(TARGET app RESOURCES 65536 BIN picture.bin)|is not 0 to 65535"
  "number not a number|vz_embed_resources(TARGET app RESOURCES 1a BIN picture.bin)|is not 0 to 65535"
  "negative number|vz_embed_resources(TARGET app RESOURCES -1 BIN picture.bin)|is not 0 to 65535"
  "missing file|vz_embed_resources(TARGET app RESOURCES 1 BIN nowhere.bin)|no file"
  "no such target|vz_embed_resources(TARGET nobody RESOURCES 1 BIN picture.bin)|names no target"
  "twice in one call|vz_embed_resources(TARGET app RESOURCES 7 BIN picture.bin 007 bin picture.bin)|given twice"
  "twice in two calls|vz_embed_resources(TARGET app RESOURCES 7 BIN picture.bin)\nvz_embed_resources(TARGET app RESOURCES 7 Bin picture.bin)|given twice"
  "static library|vz_embed_resources(TARGET lib RESOURCES 1 BIN picture.bin)|embed into the executable")

set(failures 0)
foreach(entry IN LISTS cases)
  string(REPLACE "|" ";" parts "${entry}")
  list(GET parts 0 name)
  list(GET parts 1 calls)
  list(GET parts 2 expected)
  string(MAKE_C_IDENTIFIER "${name}" folder)
  set(project "${VZ_WORK}/${folder}")
  file(MAKE_DIRECTORY "${project}")
  file(COPY "${VZ_WORK}/picture.bin" DESTINATION "${project}")
  string(REPLACE "\\n" "\n" calls "${calls}")
  file(WRITE "${project}/CMakeLists.txt"
    "cmake_minimum_required(VERSION 3.18)\nproject(check LANGUAGES NONE)\n"
    "include(\"${VZ_EMBED_SCRIPT}\")\n"
    "add_executable(app main.cpp)\nadd_library(lib STATIC lib.cpp)\n${calls}\n")
  execute_process(COMMAND "${CMAKE_COMMAND}" -S "${project}" -B "${project}/build"
                  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  string(REGEX REPLACE "[ \n]+" " " flat "${output}")
  if(result EQUAL 0)
    message(SEND_ERROR "${name}: the configure step went through")
    math(EXPR failures "${failures} + 1")
  elseif(NOT flat MATCHES "vz_embed_resources: .*${expected}")
    message(SEND_ERROR "${name}: stopped without the message '${expected}':\n${output}")
    math(EXPR failures "${failures} + 1")
  endif()
endforeach()
if(failures)
  message(FATAL_ERROR "${failures} wrong calls were not refused as they should be")
endif()
