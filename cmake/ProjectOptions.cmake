# One interface target carries the language standard, warnings and sanitizer flags
# for every target of the project.
add_library(vacuum_options INTERFACE)
target_compile_features(vacuum_options INTERFACE cxx_std_20)
set(CMAKE_CXX_EXTENSIONS OFF)
target_compile_options(vacuum_options INTERFACE -Wall -Wextra -Wpedantic -Wshadow
                       -Wnon-virtual-dtor -Wno-unused-parameter)
if(VACUUM_WERROR)
  target_compile_options(vacuum_options INTERFACE -Werror)
endif()
target_include_directories(vacuum_options INTERFACE ${PROJECT_SOURCE_DIR})

if(VACUUM_SANITIZE)
  set(_san "")
  foreach(s IN LISTS VACUUM_SANITIZE)
    if(NOT s MATCHES "^(address|undefined|fuzzer-no-link|leak)$")
      message(FATAL_ERROR "Unknown sanitizer '${s}'")
    endif()
    list(APPEND _san ${s})
  endforeach()
  if("address" IN_LIST _san AND "thread" IN_LIST _san)
    message(FATAL_ERROR "address and thread sanitizers cannot be combined")
  endif()
  list(JOIN _san "," _san_list)
  target_compile_options(vacuum_options INTERFACE -fsanitize=${_san_list}
                         -fno-omit-frame-pointer -fno-sanitize-recover=all)
  target_link_options(vacuum_options INTERFACE -fsanitize=${_san_list})
endif()

# Hardening of what is built and installed, as distributions build their packages: a stack
# protector, libc calls checked against their buffers (this needs optimisation, so not in
# Debug builds) and relocations made read-only at start. Sanitizer builds do without.
option(VACUUM_HARDEN "Build with stack protection, fortified libc calls and full RELRO" ON)
if(VACUUM_HARDEN AND NOT VACUUM_SANITIZE)
  target_compile_options(vacuum_options INTERFACE -fstack-protector-strong
                         $<$<NOT:$<CONFIG:Debug>>:-D_FORTIFY_SOURCE=2>)
  target_link_options(vacuum_options INTERFACE -Wl,-z,relro -Wl,-z,now)
endif()
