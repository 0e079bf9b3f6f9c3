# One libFuzzer driver built with clang from just the sources it reads, apart from the game's own
# build (whose compiler may be g++):
#   zb_fuzzer(<target> <binary> "<what, for messages>" SOURCES <files...> HEADERS <globs...>)
# sets <binary>_PATH in the caller to the fuzzer's path, or leaves it empty without clang.
find_program(ZB_CLANGXX NAMES clang++ clang++-14)

function(zb_fuzzer target binary what)
  cmake_parse_arguments(PARSE_ARGV 3 arg "" "" "SOURCES;HEADERS")
  set(${binary}_PATH "" PARENT_SCOPE)
  if(NOT ZB_CLANGXX)
    message(WARNING "clang++ not found: ${what}'s fuzz test is not built")
    return()
  endif()
  set(fuzzer ${CMAKE_CURRENT_BINARY_DIR}/${binary})
  file(GLOB headers CONFIGURE_DEPENDS ${arg_HEADERS})
  add_custom_command(
    OUTPUT ${fuzzer}
    COMMAND ${ZB_CLANGXX} -std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined
            -fno-sanitize-recover=undefined -I${CMAKE_SOURCE_DIR} ${arg_SOURCES} -o ${fuzzer}
    DEPENDS ${arg_SOURCES} ${headers}
    COMMENT "Building ${what}'s fuzzer with clang"
    VERBATIM)
  add_custom_target(${target} ALL DEPENDS ${fuzzer})
  set(${binary}_PATH ${fuzzer} PARENT_SCOPE)
endfunction()
