# The hardening every Debian program gets from dpkg-buildflags, for builds outside Debian's
# tools too: stack protector, fortified libc calls, stack clash protection, control-flow
# protection where the compiler has it, PIE, and full RELRO with immediate binding.
# Off for the sanitizer builds, which bring checks of their own that fortify gets in the way of.
option(ZELVO_HARDENING "Build with the hardening flags Debian uses" ON)
if(NOT ZELVO_HARDENING OR WIN32)
  return()
endif()

include(CheckCXXCompilerFlag)
include(CheckPIESupported)
check_pie_supported()
set(CMAKE_POSITION_INDEPENDENT_CODE ON)

add_compile_options(-fstack-protector-strong)
# _FORTIFY_SOURCE needs the optimiser; a distribution's own -D wins over ours.
if(NOT CMAKE_CXX_FLAGS MATCHES "_FORTIFY_SOURCE" AND NOT "$ENV{CPPFLAGS}" MATCHES "_FORTIFY_SOURCE")
  add_compile_definitions($<$<NOT:$<CONFIG:Debug>>:_FORTIFY_SOURCE=3>)
endif()
foreach(flag -fstack-clash-protection -fcf-protection)
  string(MAKE_C_IDENTIFIER "HAVE${flag}" have)
  check_cxx_compiler_flag(${flag} ${have})
  if(${have})
    add_compile_options(${flag})
  endif()
endforeach()
add_link_options(-Wl,-z,relro -Wl,-z,now)
