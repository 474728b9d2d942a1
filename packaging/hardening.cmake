# The distribution's hardening flags, included by the top CMakeLists.txt before any target:
# position-independent executables always, and for optimised builds (Release, RelWithDebInfo,
# MinSizeRel: what the tests and the package use) what dpkg-buildflags gives with every
# hardening feature on: fortified functions, stack protector, read-only relocations bound at
# start-up. The build type keeps its own -O and -g. Sanitizer and fuzzing builds go without
# the dpkg flags: fortified functions get in the way of the sanitizers' own checks.

include(CheckPIESupported)
check_pie_supported(OUTPUT_VARIABLE pie_problem LANGUAGES C CXX)
if(CMAKE_C_LINK_PIE_SUPPORTED AND CMAKE_CXX_LINK_PIE_SUPPORTED)
  set(CMAKE_POSITION_INDEPENDENT_CODE ON)
else()
  message(WARNING "Executables are not position-independent: ${pie_problem}")
endif()

option(ORVANO_HARDENING "Build optimised builds with the flags of dpkg-buildflags" ON)
string(TOUPPER "${CMAKE_BUILD_TYPE}" build_type)
if(NOT ORVANO_HARDENING OR ORVANO_SANITIZE OR ORVANO_TSAN OR ORVANO_FUZZ
   OR NOT build_type MATCHES "^(RELEASE|RELWITHDEBINFO|MINSIZEREL)$")
  return()
endif()
find_program(DPKG_BUILDFLAGS dpkg-buildflags)
if(NOT DPKG_BUILDFLAGS)
  message(STATUS "dpkg-buildflags not found: building without the distribution's hardening flags")
  return()
endif()

# The flags of `variable` (CFLAGS, ...) as a list, without those the build type sets itself
# (-O, -g) and the prefix map, which names the folder dpkg-buildflags ran in.
function(orvano_dpkg_build_flags variable out)
  execute_process(
      COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
              ${DPKG_BUILDFLAGS} --get ${variable}
      OUTPUT_VARIABLE flags
      OUTPUT_STRIP_TRAILING_WHITESPACE
      RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "dpkg-buildflags --get ${variable} failed")
  endif()
  separate_arguments(flags UNIX_COMMAND "${flags}")
  list(FILTER flags EXCLUDE REGEX "^-(O.*|g.*|f(file|debug|macro)-prefix-map=.*)$")
  set(${out} ${flags} PARENT_SCOPE)
endfunction()

orvano_dpkg_build_flags(CPPFLAGS cpp_flags)
orvano_dpkg_build_flags(CFLAGS c_flags)
orvano_dpkg_build_flags(CXXFLAGS cxx_flags)
orvano_dpkg_build_flags(LDFLAGS ld_flags)
add_compile_options(${cpp_flags} "$<$<COMPILE_LANGUAGE:C>:${c_flags}>"
                    "$<$<COMPILE_LANGUAGE:CXX>:${cxx_flags}>")
add_link_options(${ld_flags})
message(STATUS "Hardening flags: ${cpp_flags};${cxx_flags};${ld_flags}")
