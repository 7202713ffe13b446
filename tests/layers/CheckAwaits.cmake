# GCC 12 resumes a finished coroutine when a co_await stands in the condition of an if, a while or
# a ?: (the program crashed at start-up that way). Prints each such co_await of src/ with its file
# and line, and fails if there is one: the awaited value goes into a variable first.
#   cmake -DSOURCE_DIR=<src> -P CheckAwaits.cmake
file(GLOB_RECURSE sources RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/*.cpp ${SOURCE_DIR}/*.h)
set(wrong 0)
foreach(source IN LISTS sources)
  file(STRINGS ${SOURCE_DIR}/${source} lines)
  set(number 0)
  foreach(line IN LISTS lines)
    math(EXPR number "${number} + 1")
    if(line MATCHES "(if|while)[ \t]*\\([^;]*co_await" OR line MATCHES "\\?[^;]*co_await")
      message("${source}:${number}: co_await in a condition (${line})")
      math(EXPR wrong "${wrong} + 1")
    endif()
  endforeach()
endforeach()
if(wrong GREATER 0)
  message(FATAL_ERROR "${wrong} co_await(s) in a condition")
endif()
